import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import pytest  # noqa: E402

import coning  # noqa: E402

SAMPLE = dict(permeability=100, viscosity=1, fvf=1.2, density_difference=0.3,
              drainage_radius=1000, well_radius=3, zone_thickness=50, penetration=15)


def test_six_lines_in_the_report_colours():
    result = coning.calculate("Oil-Water", sweep=True, **SAMPLE)
    fig, ax = plt.subplots()
    assert coning.plot_sweep(result, ax=ax) is ax
    assert [line.get_label() for line in ax.lines] == list(coning.CORRELATIONS)
    muskat = ax.lines[coning.CORRELATIONS.index("Muskat")]
    assert matplotlib.colors.to_rgb(muskat.get_color()) == (1.0, 0.0, 0.0)
    assert list(muskat.get_ydata()) == result["sweep"]["Muskat"]
    assert ax.get_xlabel() == "% Penetration" and "STB/DAY" in ax.get_ylabel()
    assert len(ax.get_legend().get_texts()) == 7  # six correlations and the design point
    plt.close(fig)


@pytest.mark.parametrize("change, message", [
    (dict(sweep=False), "sweep=True"),
    (dict(sweep=True, well_radius=0), "the run failed.*Well radius is zero"),
])
def test_a_result_without_sweep_is_refused(change, message):
    with pytest.raises(ValueError, match=message):
        coning.plot_sweep(coning.calculate("Oil-Water", **(SAMPLE | change)))

