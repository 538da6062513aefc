#!/usr/bin/env python3
"""Writes a gravitas-sim scenario: N bodies of mass 1/N, G = 1, uniformly in a unit cube,
semi-implicit Euler, collisions ignored. Usage: make_cluster_scenario.py N PUSHES_PER_FRAME > out.json"""
import json
import random
import sys

n = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
pushes_per_frame = int(sys.argv[2]) if len(sys.argv) > 2 else 10
rng = random.Random(1)
bodies = [{
    "name": f"b{i}",
    "pos": [rng.uniform(-1, 1) for _ in range(3)],
    "vel": [rng.uniform(-0.1, 0.1) for _ in range(3)],
    "mass": 1.0 / n,
    "radius": 1e-9,
} for i in range(n)]
json.dump({
    "physics": {"gravConstant": 1.0, "powerLaw": -2.0, "timeStep": 1e-4,
                "pushesPerFrame": pushes_per_frame, "method": "semi-implicit-euler", "onCrash": "ignore"},
    "bodies": bodies,
}, sys.stdout)
