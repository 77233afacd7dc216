"""Reads a tessmor-batch report with Python's json module and checks what a user relies on."""
import json
import sys

with open(sys.argv[1], encoding="ascii") as f:
    report = json.load(f)
samples = report["samples"]
assert samples["count"] > 5 and samples["spacing_m"] == 500, samples
series = report["series"]
for name in ("anomaly", "upward_continued", "second_derivative", "model_calculated",
             "model_residual", "model_depth"):
    s = series[name]
    assert s["unit"] and s["min"] <= s["mean"] <= s["max"], (name, s)
assert series["upward_continued"]["count"] == samples["count"], series["upward_continued"]
assert series["model_depth"]["unit"].startswith("km"), series["model_depth"]
sweeps = report["inversion"]["sweeps"]
assert [s["sweep"] for s in sweeps] == list(range(1, 11)), sweeps
assert sweeps[-1]["max_thickness_change_km"] == 0, sweeps[-1]
# With the regional removed the basin explains the anomaly: every sweep fits better.
misfits = [s["rms_misfit_mgal"] for s in sweeps]
assert all(b < a for a, b in zip(misfits, misfits[1:])) and misfits[-1] < 0.1, misfits
assert report["inversion"]["final_rms_misfit_mgal"] == sweeps[-1]["rms_misfit_mgal"]
assert report["options"]["background"]["kind"] == "linear", report["options"]
assert report["options"]["model"] == {"type": "basin", "density_kg_m3": "-250",
                                      "boundary_depth_km": "0"}, report["options"]
print("report ok:", samples["count"], "samples, final misfit",
      report["inversion"]["final_rms_misfit_mgal"], "mGal")
