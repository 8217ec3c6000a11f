#!/usr/bin/python3
# The page's true roots (web/src/data/true_roots.js, bundled by esbuild) against exact roots (sympy) and mpmath at 80 digits: each
# root the double nearest the truth, its multiplicity exact, its radius holding it, real polynomials' roots real or in
# conjugate pairs exactly; and the landscape's log₁₀|P| against 60-digit values at the deepest zoom around a ninefold root.
#   true_roots_check.py esbuild true_roots.js
import ctypes, json, mpmath, random, subprocess, sympy, sys, tempfile

mpmath.mp.dps = 80
F, x = sympy.Rational, sympy.Symbol("x")
f32 = lambda v: ctypes.c_float(v).value
mp = lambda q: mpmath.mpf(q.p) / q.q

parts = lambda z: [F(v) for v in sympy.Expr.as_real_imag(sympy.sympify(z))]

def exact(roots):
    """The coefficients, exact floats, of the product of (x − root)^m, each root exact; and its roots."""
    p = [parts(c) for c in sympy.Poly(sympy.prod([(x - r) ** m for r, m in roots]), x).all_coeffs()]
    assert all(f32(float(v)) == v for c in p for v in c), f"not floats: {roots}"
    return [[float(v) for v in c] for c in p], [(mpmath.mpc(*map(mp, parts(r))), m) for r, m in roots]

def typed(text):
    """Coefficients as the program reads them, and the true roots from mpmath (simple ones)."""
    p = [[f32(float(x)), 0.0] for x in text.split()]
    return p, [(z, 1) for z in mpmath.polyroots([mpmath.mpf(c[0]) for c in p], maxsteps=2000, extraprec=2000)]

random.seed(7)
wide = lambda n: " ".join(f"{random.choice('-+')}{10 ** random.uniform(-20, 20):.6g}" for _ in range(n + 1))
cases = {
    "sizes 32 orders apart: 100x² + x + 1e-34": typed("100 1 1e-34"),
    "sizes 32 orders apart: 1e-20x² + x + 1e-12": typed("1e-20 1 1e-12"),
    "huge true roots: 1e-30x² + x + 1": typed("1e-30 1 1"),
    "roots of modulus 4.6e-4: x⁹ − 1e-30": typed("1 0 0 0 0 0 0 0 0 -1e-30"),
    "huge roots: x⁹ − 1e36": typed("1 0 0 0 0 0 0 0 0 -1e36"),
    "conjugate pairs: x⁴ + x + 1": typed("1 0 0 1 1"),
    "real roots: x³ − 2x − 5": typed("1 0 -2 -5"),
    **{f"wide coefficients, degree {n}": typed(wide(n)) for n in (5, 7, 9, 9)},
    "double and simple 2⁻²⁰ apart": exact([(1, 2), (1 + F(1, 2**20), 1)]),
    "double and simple 2⁻¹⁶ apart": exact([(1, 2), (1 + F(1, 2**16), 1)]),
    **{f"two simple 2⁻{k} apart beside a double": exact([(F(-1, 2), 2), (F(1, 4), 1), (F(1, 4) + F(1, 2**k), 1)])
       for k in (20, 22, 24)},
    "triple beside a simple 2⁻¹³ away": exact([(1, 3), (1 + F(1, 2**13), 1)]),
    "eightfold beside a simple 2⁻⁷ away": exact([(1, 8), (1 + F(1, 2**7), 1)]),
    "sevenfold and double 2⁻⁴ apart": exact([(1, 7), (1 + F(1, 16), 2)]),
    "complex triple and a zero": exact([(1 + sympy.I, 3), (0, 1)]),
    "ninefold": exact([(1, 9)]),  # last: its landscape is checked too
}

with tempfile.TemporaryDirectory() as folder:
    subprocess.run([sys.argv[1], "--bundle", "--format=esm", "--log-level=warning", sys.argv[2], f"--outfile={folder}/roots.mjs"], check=True)
    script = f"""import {{ trueRoots, logModulus }} from "{folder}/roots.mjs";
        const [cases, grid] = JSON.parse((await import("fs")).readFileSync(0, "utf8"));
        const land = logModulus(cases[cases.length - 1]);
        console.log(JSON.stringify([cases.map(p => trueRoots(p).roots), grid.map(([re, im]) => land(re, im))]));"""
    # The deepest zoom the plane allows around 1: a millionth of the framed view, some 2 wide.
    grid = [[1 + (i + 0.5) * 1e-7, (j + 0.5) * 1e-7] for i in range(-10, 11) for j in range(-10, 11)]
    found, heights = json.loads(subprocess.run(["node", "--input-type=module", "-e", script], check=True, capture_output=True, text=True,
                                               input=json.dumps([[p for p, _ in cases.values()], grid])).stdout, parse_int=float)

failures = []
for (name, (p, truth)), roots in zip(cases.items(), found):
    real = all(c[1] == 0 for c in p)
    for t, m in truth:
        # float() rounds to the nearest double.
        mine = [r for r in roots if r["re"] == float(t.real) and r["im"] == float(t.imag)]
        good = len(mine) == m and all(r["multiplicity"] == m and r["radius"] is not None
                                      and abs(mpmath.mpc(r["re"], r["im"]) - t) <= r["radius"] for r in mine)
        good or failures.append(f"{name}: the root {mpmath.nstr(t, 20)} of multiplicity {m}: {mine or roots}")
    conjugates = all(r["im"] == 0 or any(s["re"] == r["re"] and s["im"] == -r["im"] for s in roots) for r in roots)
    len(roots) == sum(m for _, m in truth) and (conjugates or not real) or failures.append(f"{name}: {len(roots)} roots, real or paired: {roots}")
off = max(abs(h - float(mpmath.log10(abs((mpmath.mpf(re) + 1j * mpmath.mpf(im) - 1) ** 9)))) for (re, im), h in zip(grid, heights))
off < 1e-9 or failures.append(f"the ninefold root's landscape off by {off} decades")
print("\n".join(failures) or f"{len(cases)} polynomials' true roots, and a landscape at the deepest zoom, as exact and mpmath have them")
sys.exit(1 if failures else 0)
