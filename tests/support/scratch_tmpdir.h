#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace coning::testing {

// A scratch folder for one test, with TMPDIR pointed at its "tmp" folder, so that a temporary
// folder left behind by the code under test shows. Call setUp() and tearDown() from the fixture.
class ScratchTmpdir
{
public:
    void setUp(const std::string &name)
    {
        std::string pattern = ::testing::TempDir() + name + "-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_path = pattern;
        std::filesystem::create_directory(tmp());
        ::setenv("TMPDIR", tmp().c_str(), 1);
    }
    void tearDown()
    {
        ::unsetenv("TMPDIR");
        if (!m_path.empty())
            std::filesystem::remove_all(m_path);
    }

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path tmp() const { return m_path / "tmp"; }
    bool nothingLeft() const { return std::filesystem::is_empty(tmp()); }

private:
    std::filesystem::path m_path;
};

} // namespace coning::testing
