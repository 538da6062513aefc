"""Checks a REBOUND script and a CSV written by gravitas-sim against the scenario's JSON.

Every number of the script must read back as the very double the run started from.
usage: check_exports.py SCRIPT.py STATE.csv SCENARIO.json FRAMES INTEGRATOR
"""
import ast
import csv
import json
import sys


def number(node):
    if isinstance(node, ast.UnaryOp) and isinstance(node.op, ast.USub):
        return -number(node.operand)
    assert isinstance(node, ast.Constant) and isinstance(node.value, float), ast.dump(node)
    return node.value


def main(script, state, scenario, frames, integrator):
    frames = int(frames)
    with open(scenario) as f:
        sc = json.load(f)
    phys = sc["physics"]
    with open(state, newline="") as f:
        rows = list(csv.reader(f))
    assert rows[0] == ["time", "name", "x", "y", "z", "vx", "vy", "vz"], rows[0]
    n = len(sc["bodies"])
    assert len(rows) == 1 + n * (frames + 1), len(rows)
    frame_time = phys["pushesPerFrame"] * phys["timeStep"]
    for k, row in enumerate(rows[1:]):
        assert float(row[0]) == (k // n) * frame_time, row
        assert row[1] == sc["bodies"][k % n]["name"], row
    start = rows[1 : 1 + n]

    tree = ast.parse(open(script).read())
    assigned, adds, integrate = {}, [], None
    for stmt in tree.body:
        if isinstance(stmt, ast.Assign) and isinstance(stmt.targets[0], ast.Attribute):
            assigned[stmt.targets[0].attr] = stmt.value
        elif isinstance(stmt, ast.Expr) and isinstance(stmt.value, ast.Call):
            call = stmt.value
            name = call.func.attr if isinstance(call.func, ast.Attribute) else ""
            if name == "add":
                adds.append({kw.arg: kw.value for kw in call.keywords})
            elif name == "integrate":
                integrate = number(call.args[0])
    assert number(assigned["G"]) == phys["gravConstant"]
    assert number(assigned["dt"]) == phys["timeStep"]
    assert assigned["integrator"].value == integrator, ast.dump(assigned["integrator"])
    assert integrate == frames * frame_time, integrate
    assert len(adds) == n, len(adds)
    for body, add, row in zip(sc["bodies"], adds, start):
        assert add["hash"].value == body["name"], add["hash"].value
        assert number(add["m"]) == body["mass"] and number(add["r"]) == body["radius"], body["name"]
        for key, text in zip(("x", "y", "z", "vx", "vy", "vz"), row[2:]):
            assert number(add[key]) == float(text), (body["name"], key, number(add[key]), text)
    print("ok: %d bodies, %d rows" % (n, len(rows) - 1))


if __name__ == "__main__":
    main(*sys.argv[1:])
