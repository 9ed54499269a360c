"""Runs every example of the README and of the guide in docs/ and checks that it prints what the
page shows.

Two kinds of code block are examples:
- a ```python block; when the text after it reads "prints" and the next block follows, that block
  is what it must print, exactly, and each picture it saves must be drawn;
- a transcript, a block whose first line begins with "$ ": "$ cat FILE" writes the lines that
  follow as FILE, "$ coning-calc ..." runs this build's coning-calc and must print the lines that
  follow (a line beginning with "..." stands for any lines).
Each example runs in a folder of its own. Examples that mention "simulate" run the simulator (their
kind gets "-flow") and are skipped without it. Every other block (synopses, JSON shown wrapped,
build commands) is text. CONING_DOC_EXAMPLES, a comma-separated list of kinds ("command",
"python", "command-flow", "python-flow"), selects the kinds to run; all by default.
"""
import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys

import pytest

ROOT = pathlib.Path(__file__).parents[2]
PAGES = [ROOT / "README.md", *sorted((ROOT / "docs").glob("*.md"))]
CLI = os.environ.get("CONING_CALC", "coning-calc")
KINDS = os.environ.get("CONING_DOC_EXAMPLES", "command,python,command-flow,python-flow").split(",")

BLOCK = re.compile(r"^```(\w*)\n(.*?)^```\n", re.S | re.M)


def examples():
    found = []
    for page in PAGES:
        text = page.read_text()
        blocks = list(BLOCK.finditer(text))
        for i, block in enumerate(blocks):
            language, body = block.group(1), block.group(2)
            line = text.count("\n", 0, block.start()) + 1
            if language == "python":
                shown = None
                if i + 1 < len(blocks):
                    between = text[block.end():blocks[i + 1].start()]
                    if between.strip() == "prints" and not blocks[i + 1].group(1):
                        shown = blocks[i + 1].group(2)
                kind = "python"
            elif not language and body.startswith("$ "):
                shown, kind = None, "command"
            else:
                continue
            if "simulate" in body:
                kind += "-flow"
            if kind not in KINDS:
                continue
            name = f"{page.relative_to(ROOT)}:{line}".replace("/", "_").replace(".", "_")
            found.append(pytest.param(kind, body, shown, id=f"{name}-{kind}"))
    return found


def needs_flow(kind):
    if kind.endswith("-flow") and not (os.environ.get("CONING_FLOW") or shutil.which("flow")):
        pytest.skip("the simulator flow is not installed")


def transcript(body):
    """The commands of a transcript, each with the lines shown after it."""
    steps = []
    lines = body.splitlines()
    i = 0
    while i < len(lines):
        command = lines[i][2:]
        while command.endswith("\\"):
            i += 1
            command = command[:-1] + " " + lines[i].strip()
        i += 1
        shown = []
        while i < len(lines) and not lines[i].startswith("$ "):
            shown.append(lines[i])
            i += 1
        steps.append((shlex.split(command), shown))
    return steps


def matches(shown, printed):
    """Whether the printed lines are the shown ones, a shown line beginning with "..." standing
    for any lines."""
    pattern = "".join("(?:.*\n)*?" if line.lstrip().startswith("...") else re.escape(line) + "\n"
                      for line in shown)
    return re.fullmatch(pattern, printed) is not None


@pytest.mark.parametrize("kind, body, shown", examples())
def test_example_prints_what_the_page_shows(kind, body, shown, tmp_path):
    needs_flow(kind)
    if kind.startswith("python"):
        done = subprocess.run([sys.executable, "-c", body], cwd=tmp_path, capture_output=True,
                              text=True)
        assert done.returncode == 0, done.stderr
        if shown is not None:
            assert done.stdout == shown
        for picture in re.findall(r'savefig\("([^"]+)"', body):
            assert (tmp_path / picture).stat().st_size > 10000, f"{picture} is all but empty"
        return
    for argv, lines in transcript(body):
        if argv[0] == "cat":
            (tmp_path / argv[1]).write_text("".join(line + "\n" for line in lines))
            continue
        assert argv[0] == "coning-calc", f"a transcript runs cat and coning-calc only: {argv}"
        done = subprocess.run([CLI, *argv[1:]], cwd=tmp_path, capture_output=True)
        printed = done.stdout.decode().replace("\r\n", "\n")
        assert done.returncode in (0, 1), done.stderr.decode()
        assert matches(lines, printed), f"{' '.join(argv)} printed\n{printed}"


def test_the_pages_have_examples_of_every_kind_asked_for():
    assert {param.values[0] for param in examples()} == set(KINDS)
