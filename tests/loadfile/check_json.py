"""`brantel check --json` parsed by Python's own JSON reader: it must hold the values the writer
wrote into the sample loading file, with their lines.
usage: check_json.py BRANTEL WORKSPACE"""
import json
import subprocess
import sys

brantel, workspace = sys.argv[1], sys.argv[2]
sample = workspace + "/Dat/frame_three_cases.inc"
run = subprocess.run([brantel, "check", "--json", "--geometry", workspace + "/Dat/frame.dat", sample],
                     capture_output=True, text=True)
assert run.returncode == 0, (run.returncode, run.stdout, run.stderr)
document = json.loads(run.stdout)
(checked,) = document["files"]
assert checked["file"] == sample and checked["problems"] == [], checked
general = {r["kind"]: r for r in checked["general"]}
assert general["operator_code"]["text"] == "ACH" and general["operator_code"]["line"] == 7
assert general["case_count"]["values"] == {"n_loading_cases": 3}
assert [c["case"] for c in checked["cases"]] == [1, 2, 3]


def records(case, kind):
    return [r for r in checked["cases"][case - 1]["records"] if r["kind"] == kind]


def close(a, b):
    return abs(a - b) <= 1e-7 * max(1.0, abs(b))


(tolerance,) = records(1, "tolerance")
assert tolerance["line"] == 11 and close(tolerance["values"]["tolerance"], 1e-4)
assert tolerance["values"]["iteration_limit"] == 20
times = records(1, "time")
assert [t["line"] for t in times] == [17, 19] and [t["values"]["time"] for t in times] == [0.1, 0.5]
loads = records(1, "point_load")
assert loads[1]["values"] == {"first_node": 10, "last_node": 12, "load_1": 0, "load_2": 3, "load_3": 0}
(parameters,) = records(2, "case_parameters")
assert parameters["values"]["loading_type"] == 1 and close(parameters["values"]["time_step"], 0.005)
(omega,) = records(2, "loading_parameters")
assert omega["values"] == {"omega": 6.2832, "phi": 0.5}
amplitudes = records(2, "amplitude")
assert amplitudes[1]["line"] == 29 and amplitudes[1]["values"]["amplitude_1"] == 12345680
assert records(3, "loading_parameters")[0]["values"] == {"omega": -0.25}
assert document["summary"] == "brantel check: 1 file, 0 errors, 0 warnings"
print("check --json holds the values written")
