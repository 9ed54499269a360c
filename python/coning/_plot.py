"""A well's penetration sweep drawn with matplotlib."""

from __future__ import annotations

import math
from typing import TYPE_CHECKING, Any, Optional

from ._wells import CORRELATIONS

if TYPE_CHECKING:
    from matplotlib.axes import Axes

# The report's colours, as RGB.
_COLOURS = {
    "Sobocinski": (0, 0, 255),
    "Muskat": (255, 0, 0),
    "Chaney-Noble": (0, 255, 0),
    "Schols": (62, 0, 136),
    "Guo-Lee": (230, 130, 92),
    "Meyer-Garder": (174, 174, 124),
}


def plot_sweep(result: dict[str, Any], ax: Optional[Axes] = None) -> Axes:
    """Draws the rate against percent penetration of a result of ``calculate(..., sweep=True)``.

    One line per correlation that did not fail at the design point, in the report's colours
    (a failed sweep point is a gap), the design penetration marked in red, the x axis labelled
    "% Penetration" and the y axis with the rate unit (STB/DAY or MCF/DAY), and a legend.
    matplotlib is imported only here.

    Parameters
    ----------
    result : dict
        What :func:`coning.calculate` returned with ``sweep=True``.
    ax : matplotlib.axes.Axes, optional
        Where to draw; the current Axes of pyplot when None.

    Returns
    -------
    matplotlib.axes.Axes

    Raises
    ------
    ValueError
        When the result has no sweep, or its run failed (the message says why it failed).
    """
    if "error" in result:
        raise ValueError(f"the run failed, so there is no sweep to draw: {result['error']}")
    if "sweep" not in result:
        raise ValueError(
            "the result has no penetration sweep: calculate it with sweep=True "
            "(for partial-penetration)"
        )
    if ax is None:
        import matplotlib.pyplot as plt

        ax = plt.gca()
    sweep = result["sweep"]
    failures = result.get("failures", {})
    for name in CORRELATIONS:
        if name not in sweep or name in failures:
            continue
        rates = [math.nan if r is None else r for r in sweep[name]]
        colour = tuple(c / 255 for c in _COLOURS[name])
        ax.plot(sweep["percent"], rates, color=colour, linewidth=2, label=name)
    design = result["percentPenetration"]
    ax.vlines(
        design,
        0,
        1,
        transform=ax.get_xaxis_transform(),
        colors="red",
        linestyles="dashed",
        label=f"Design point ({design:g} %)",
    )
    ax.set_xlim(0, 100)
    ax.set_xlabel("% Penetration")
    ax.set_ylabel(f"Rate, {result['unit']}")
    ax.legend()
    return ax
