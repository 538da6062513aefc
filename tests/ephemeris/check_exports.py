"""Checks a REBOUND script and a CSV from gravitas-sim against the scenario; every number
of the script must read back as the very double the run started from.
usage: check_exports.py SCRIPT.py STATE.csv SCENARIO.json FRAMES INTEGRATOR"""
import ast, csv, json, sys


def number(node):
    if isinstance(node, ast.UnaryOp) and isinstance(node.op, ast.USub):
        return -number(node.operand)
    assert isinstance(node, ast.Constant) and isinstance(node.value, float), ast.dump(node)
    return node.value


def main(script, state, scenario, frames, integrator):
    sc, frames = json.load(open(scenario)), int(frames)
    phys, bodies = sc["physics"], sc["bodies"]
    rows = list(csv.reader(open(state, newline="")))
    assert rows[0] == ["time", "name", "x", "y", "z", "vx", "vy", "vz"], rows[0]
    n, frame_time = len(bodies), phys["pushesPerFrame"] * phys["timeStep"]
    assert len(rows) == 1 + n * (frames + 1), len(rows)
    for k, row in enumerate(rows[1:]):
        assert float(row[0]) == (k // n) * frame_time and row[1] == bodies[k % n]["name"], row
    assigned, adds, integrate = {}, [], None
    for stmt in ast.parse(open(script).read()).body:
        if isinstance(stmt, ast.Assign) and isinstance(stmt.targets[0], ast.Attribute):
            assigned[stmt.targets[0].attr] = stmt.value
        elif isinstance(stmt, ast.Expr) and isinstance(stmt.value, ast.Call):
            call = stmt.value
            if getattr(call.func, "attr", "") == "add":
                adds.append({kw.arg: kw.value for kw in call.keywords})
            elif getattr(call.func, "attr", "") == "integrate":
                integrate = number(call.args[0])
    assert number(assigned["G"]) == phys["gravConstant"] and number(assigned["dt"]) == phys["timeStep"]
    assert assigned["integrator"].value == integrator, ast.dump(assigned["integrator"])
    assert integrate == frames * frame_time and len(adds) == n, (integrate, len(adds))
    for body, add, row in zip(bodies, adds, rows[1 : 1 + n]):
        assert add["hash"].value == body["name"], add["hash"].value
        assert number(add["m"]) == body["mass"] and number(add["r"]) == body["radius"], body["name"]
        for key, text in zip(("x", "y", "z", "vx", "vy", "vz"), row[2:]):
            assert number(add[key]) == float(text), (body["name"], key, number(add[key]), text)
    print("ok: %d bodies, %d rows" % (n, len(rows) - 1))


if __name__ == "__main__":
    main(*sys.argv[1:])
