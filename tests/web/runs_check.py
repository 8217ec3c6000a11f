#!/usr/bin/python3
# What the page showed of each dialogue case's run (runs.json, from page_test.js), against the transcript, a model of the
# program's float arithmetic, and sympy and mpmath at 50 digits where the engine let the page test hear each search's
# polynomial.
# The experiments and maps (experiments.json) against the same model from their own start points.
#   runs_check.py runs.json [experiments.json]
import csv, ctypes, io, json, math, mpmath, re, sympy, sys

mpmath.mp.dps = 50
f = lambda x: ctypes.c_float(x).value
failures = []
expect = lambda what, good, detail="": good or failures.append(f"{what}: {detail}")

# The program's arithmetic: each operation rounded to float, the modulus in double; a division by 0 gives nan (Python stops).
add = lambda a, b: [f(a[0] + b[0]), f(a[1] + b[1])]
sub = lambda a, b: [f(a[0] - b[0]), f(a[1] - b[1])]
mul = lambda a, b: [f(f(a[0] * b[0]) - f(a[1] * b[1])), f(f(a[0] * b[1]) + f(a[1] * b[0]))]
norm = lambda a: f(f(a[0] * a[0]) + f(a[1] * a[1]))
div = lambda a, b: [f(mul(a, [b[0], -b[1]])[k] / norm(b)) for k in (0, 1)] if norm(b) else [math.nan] * 2
finite = lambda a: all(map(math.isfinite, a))
def horner(table, x, acc=(0.0, 0.0)):
    for c in table:
        acc = add(c, mul(x, acc))
    return acc

def search(table, x0, x1, budget):
    """One search's points [re, im, |P|] from x0 and x1, its end, and the steps of the shared budget of 10000 spent after it."""
    f0, f1 = horner(table, x0), horner(table, x1)
    points, end = [x0 + [math.sqrt(norm(f0))], x1 + [math.sqrt(norm(f1))]], "budget"
    while budget < 10000 and end == "budget":
        x2 = sub(x0, div(mul(f0, sub(x1, x0)), sub(f1, f0)))
        f2 = horner(table, x2) if finite(x2) else [math.nan]
        if not finite(x2 + f2):
            end = "nonfinite"
            break
        points.append(x2 + [math.sqrt(norm(f2))])
        end = "tolerance" if points[-1][2] < f(1e-5) else end
        x0, f0, x1, f1, budget = x1, f1, x2, f2, budget + (end != "tolerance")
    return points, end, budget

def searches(tables, starts=([0.0, 0.0], [1.0, 1.0])):
    """Each search's points and end: the chord method from the program's start points, one search for each polynomial told."""
    found, budget = [], 0
    for table in tables:
        points, end, budget = search(table, *starts, budget)
        found.append((points, end))
    return found

def experiment(table, starts):
    """The roots found again from other start points: each search, its root's remark, and the polynomial divided by its root."""
    found, budget, reached = [], 0, True
    while len(table) > 1:
        points, end, budget = search(table, *starts, budget)
        root = [0.0, 0.0] if end == "budget" and len(points) == 2 else points[-1][:2]
        reached = reached and math.sqrt(norm(horner(table, root))) < f(1e-5)
        found.append((points, end, str(int(not reached))))
        b = [table[0]]
        for c in table[1:-1]:
            b.append(add(c, mul(root, b[-1])))
        table = b
    return found

# The observed order of convergence, as JavaScript's numbers give it.
ratio = lambda a, b: a / b if b else (math.copysign(math.inf, a) if a else math.nan)
log = lambda x: -math.inf if x == 0 else math.log(x)

# A float, and a double of the steps file, as the program writes numbers (printf's %g).
g, gd = lambda x: "%g" % f(float(x)), lambda x: "%g" % float(x)

def check_drawing(name, run, printed, steps):
    """The drawing, the step table's first page, the steps file, the roots file's roots, each story, against the transcript."""
    if not printed:
        return expect(f"{name}: a drawing with no search", not run["steps"] and not run["trails"] and not run["marks"], run)
    expect(f"{name}: the steps file's header, and inf and nan as the program writes them", run["steps"].startswith("search,step,re,im,abs_p,order,end,remark\n")
           and not re.search(r"Infinity|NaN", run["steps"]))
    expect(f"{name}: a trail and a root for each root printed", len(run["trails"]) == len(run["marks"]) == len(printed), run["trails"])
    expect(f"{name}: the table's first page", run["range"] == f"Строки 1–{len(run['stepTable'])} из {len(steps)}", run["range"])
    for k, (cells, row) in enumerate(zip(run["stepTable"], steps)):
        last = k + 1 == len(steps) or steps[k + 1]["search"] != row["search"]
        expect(f"{name}: table row {k + 1}", cells[:5] == [row["search"], row["step"], f"{g(row['re'])} {g(row['im'])}i", gd(row["abs_p"]),
               row["order"] and gd(row["order"])] and (cells[6] != "") == last and (cells[5] == "" if not last else
               {"tolerance": "допуск", "budget": "исчерпан", "nonfinite": "предел"}[row["end"]] in cells[5]), cells)
    count = 0
    expect(f"{name}: chord-roots.csv's header", run["roots"].startswith("root,re,im,remark,true_re,true_im,error,abs_p_typed,true_radius\n"))
    roots = list(csv.DictReader(io.StringIO(run["roots"])))
    for s, (k, re_, im, remark) in enumerate(printed):
        own, root, line = [row for row in steps if row["search"] == k], run["marks"][s], roots[s] if s < len(roots) else {}
        expect(f"{name}: x{k} in the roots file", [line.get("root"), g(line.get("re", "nan")), g(line.get("im", "nan")), line.get("remark")]
               == [k, re_, im, str(int(bool(remark)))], line)
        at = own[0] if own[-1]["end"] == "budget" and len(own) == 2 else own[-1]
        expect(f"{name}: search {k} drawn", run["trails"][s] == len(own) and [row["step"] for row in own] == list(map(str, range(len(own))))
               and all(row["end"] == row["remark"] == "" for row in own[:-1]) and own[-1]["remark"] == str(int(bool(remark)))
               and root["end"] == own[-1]["end"] and root["remark"] == bool(remark) and [g(root["re"]), g(root["im"])] == [g(at["re"]), g(at["im"])] == [re_, im],
               [root, at])
        count += len(own) - 2 - (own[-1]["end"] == "tolerance")
        # Its story, in the step line and the table.
        story, missed = run["picked"][s][1], next((j for j, p in enumerate(printed[:s]) if p[3]), None)
        told = {"tolerance": f"на шаге {len(own) - 1} достиг", "budget": "исчерпан" if len(own) == 2 else f"на шаге {len(own) - 1} исчерпал",
                "nonfinite": "делил бы на нуль"}[own[-1]["end"]]
        expect(f"{name}: search {k}'s story", story == run["table"][s] and story.startswith(f"Поиск {k} начат в точках 0 и 1+i")
               and told in story and f"x{k} = {re_} {im}i" in story and ("не в исходном уравнении" in story) == (missed is not None)
               and (missed is None or f"Поиск {missed + 1} не достиг допуска" in story), story)
    expect(f"{name}: the steps drawn and counted", f"Число итераций: {count}\n" in run["transcript"], count)
    left, right, bottom, top = run["view"]
    expect(f"{name}: the view shows the start points", left <= 0 and right >= 1 and bottom <= 0 and top >= 1, run["view"])
    hit = lambda a, b: a[0] < b[1] - 0.5 and b[0] < a[1] - 0.5 and a[2] < b[3] - 0.5 and b[2] < a[3] - 0.5
    texts = run["texts"] + [("a mark", box) for box in run["boxes"]]
    expect(f"{name}: no label overlaps a label or a mark", not [(a, b) for k, a in enumerate(run["texts"]) for b in texts[k + 1:] if hit(a[1], b[1])])
    expect(f"{name}: an infinite |P| drawn", run["ink"] > 20 or not any(row["abs_p"] == "inf" for row in steps), run["ink"])
    for s, (line, _) in enumerate(run["picked"]):
        cells = next((cells for cells in run["stepTable"] if cells[:2] == [str(s + 1), "0"]), None)
        expect(f"{name}: picking search {s + 1} while stepping", line.startswith(f"Поиск {s + 1}, шаг 0: ") and (cells is None
               or line == f"Поиск {s + 1}, шаг 0: x = {cells[2]}, |P(x)| = {cells[3]}."), line)

def check_steps(name, found, steps):
    """Every row of a steps file, as the model computes it (found: each search's points and end)."""
    model = [(s + 1, k, point, points, end) for s, (points, end, *_) in enumerate(found) for k, point in enumerate(points)]
    expect(f"{name}: as many steps as the model's", len(model) == len(steps), f"{len(steps)}, the model's {len(model)}")
    for row, (s, k, (x, y, p), points, end) in zip(steps, model):
        q = ratio(log(ratio(points[k + 1][2], p)), log(ratio(p, points[k - 1][2]))) if 0 < k < len(points) - 1 else math.nan
        same = [row["search"], row["step"], f(float(row["re"])), f(float(row["im"])), row["end"]] == [str(s), str(k), x, y, end * (k == len(points) - 1)]
        if not (same and math.isclose(float(row["abs_p"]), p, rel_tol=6e-9) and (row["order"] == "" and not math.isfinite(q)
                                                                                 or math.isclose(float(row["order"] or "nan"), q, rel_tol=1e-6, abs_tol=1e-12))):
            return expect(f"{name}: the steps file against the model", False, f"{row}, the model's {x}, {y}, {p}, {q}, {end}")

P = lambda table, z: abs(mpmath.polyval([mpmath.mpc(*c) for c in table], z))
close = lambda a, b, scale: abs(a - b) <= 1e-9 * max(1, scale)

def roots_of(table):
    """The roots of a polynomial (highest power first), each as often as its multiplicity, and how many lie at infinity: all
    for P = 0. The multiplicities exact, from sympy's square-free factors over the Gaussian rationals; each factor's roots
    from mpmath."""
    exact = [sympy.Rational(re) + sympy.I * sympy.Rational(im) for re, im in table]
    lead = next((k for k, z in enumerate(exact) if z != 0), len(exact))
    if len(exact) - lead < 2:
        return [], lead
    roots = []
    for factor, m in sympy.Poly(exact[lead:], sympy.Symbol("x"), domain="QQ_I").sqf_list()[1]:
        c = [mpmath.mpf(z.p) / z.q for k in factor.all_coeffs() for z in map(sympy.Rational, sympy.Expr.as_real_imag(sympy.sympify(k)))]
        c = [mpmath.mpc(c[k], c[k + 1]) for k in range(0, len(c), 2)]
        roots += (list(mpmath.polyroots(c, maxsteps=400, extraprec=400)) if len(c) > 2 else [-c[1] / c[0]]) * m
    return roots, lead

def check_roots(name, case, polynomials, printed):
    """chord-roots.csv's true roots, errors and |P| against mpmath, the true roots drawn, the notes."""
    truth, at_infinity = roots_of(polynomials[0])
    for s, (row, (k, re_, im, remark)) in enumerate(zip(csv.DictReader(io.StringIO(case["roots"])), printed)):
        z = mpmath.mpc(f(float(row["re"])), f(float(row["im"])))
        if truth:
            # Any true root of the nearest (x² + i has ties); |P| within Horner's rounding bound in double.
            d, given = min(abs(t - z) for t in truth), mpmath.mpc(float(row["true_re"]), float(row["true_im"]))
            bound = 4 * len(polynomials[0]) * 2**-52 * P([[abs(mpmath.mpc(*c)), 0] for c in polynomials[0]], abs(z))
            held = row["true_radius"] == "" or any(abs(given - t) <= float(row["true_radius"]) for t in truth)
            expect(f"{name}: x{k}'s true root, its radius, error and |P|", held and any(close(given, t, abs(t)) for t in truth if close(abs(t - z), d, d))
                   and close(float(row["error"]), d, d) and abs(float(row["abs_p_typed"]) - P(polynomials[0], z)) <= bound + 1e-9 * P(polynomials[0], z), row)
    crosses = [mpmath.mpc(*z) for z in case["crosses"]]
    for t in truth:
        match = min(crosses, key=lambda z: abs(z - t), default=mpmath.inf)
        expect(f"{name}: the true root {mpmath.nstr(t, 8)} drawn", close(match, t, abs(t)), crosses)
        crosses.remove(match) if match in crosses else None
    expect(f"{name}: no other true roots drawn", not crosses, crosses)
    notes, everything = case["notes"], at_infinity == len(polynomials[0])
    times = {sum(1 for u in truth if close(u, t, abs(t))) for t in truth} - {1}
    # A true root of multiplicity m missed where no printed root came within 10^(−3/m) of its modulus.
    printed_at = [mpmath.mpc(f(float(re_)), f(float(im))) for _, re_, im, _ in printed]
    missed = [t for t in truth if not any(abs(z - t) <= abs(t) * 10 ** (-3 / sum(1 for u in truth if close(u, t, abs(t))))
                                          for z in printed_at) and abs(t) > 0]
    expect(f"{name}: the notes", (f"на бесконечности — {at_infinity}" in notes) == (0 < at_infinity and not everything)
           and ("любое число" in notes) == everything and all(f"кратности {m}" in notes for m in times)
           and ("ни один напечатанный не подошёл" in notes) == bool(missed), [notes, missed])

def check_landscape(name, s, table, land):
    """Search s's landscape: its darkest cells at a root of its polynomial, its tolerance line where |P| is the tolerance; its
    scale a decade at least, its shading seen wherever |P| varies by a decade, its legend telling whether the line is in view."""
    own, (left, right, bottom, top) = roots_of(table)[0], land["view"]
    far = [z for z in land["darkest"] if any(left <= r.real <= right and bottom <= r.imag <= top for r in own)
           and min(abs(mpmath.mpc(*z) - r) for r in own) > 2 * land["cell"]]
    off = [z for z in land["tolerance"] if not 10**-5.5 <= P(table, mpmath.mpc(*z)) <= 10**-4.5]
    expect(f"{name}: search {s}'s darkest cells at its roots and its tolerance line", not far and not off, [far[:3], off[:3]])
    lo, hi = map(float, re.search(r"от (\S+) \(темнее\) до (\S+) \(светлее\)", land["legend"]).groups())
    expect(f"{name}: search {s}'s shading", hi - lo >= 0.95 and (hi - lo < 1.05 or land["spread"] >= 16)
           and ("жирная — допуск" in land["legend"]) == bool(land["tolerance"]), [land["legend"], land["spread"]])

def check_experiment(run):
    """An experiment's files against the model from its start points as its line names them, the remarks too."""
    steps = list(csv.DictReader(io.StringIO(run["steps"])))
    numbers = re.search(r"в точках (\S+) (\S+)i и (\S+) (\S+)i", run["line"]).groups()
    starts = [[f(float(numbers[0])), f(float(numbers[1]))], [f(float(numbers[2])), f(float(numbers[3]))]]
    found = experiment(run["table"], starts)
    name = run["name"]
    expect(f"{name}: the experiment's files", run["files"] == ["chord-experiment-steps.csv", "chord-experiment-roots.csv"], run["files"])
    check_steps(name, found, steps)
    ends = [row for k, row in enumerate(steps) if k + 1 == len(steps) or steps[k + 1]["search"] != row["search"]]
    expect(f"{name}: each root's remark", [row["remark"] for row in ends] == [remark for *_, remark in found], ends)
    expect(f"{name}: the roots file", len(list(csv.DictReader(io.StringIO(run["roots"])))) == len(found))

def check_map(m):
    """The map's colour at sampled cells: the colour of the true root the model's first search reaches from the cell's start,
    paler for more steps, or grey where the search fails."""
    cols, rows, (left, right, bottom, top), first = m["cols"], m["rows"], m["world"], [f(x) for x in m["first"]]
    rgb = lambda color: [int(color[k:k + 2], 16) for k in (1, 3, 5)]
    for i, j, *pixel in m["samples"]:
        second = [f(left + (i + 0.5) * (right - left) / cols), f(top - (j + 0.5) * (top - bottom) / rows)]
        points, end, _ = search(m["table"], first, second, 0)
        if end != "tolerance":
            expect(f"{m['name']}: the map grey at cell {i}, {j}", pixel == [150, 150, 150], pixel)
            continue
        z = points[-1]
        color = rgb(min(m["crosses"], key=lambda c: math.hypot(c[0] - z[0], c[1] - z[1]))[2])
        k = max(range(3), key=lambda k: 255 - color[k])
        t = (pixel[k] - color[k]) / (255 - color[k])
        expect(f"{m['name']}: the map's colour at cell {i}, {j}", 0.14 <= t <= 0.81 and all(abs(round(c + (255 - c) * t) - p) <= 2
               for c, p in zip(color, pixel)), [pixel, color])

runs = json.load(open(sys.argv[1]))
for run in runs:
    name, polynomials, steps = run["name"], run.get("told"), list(csv.DictReader(io.StringIO(run["steps"])))
    printed = re.findall(r"^x(\d+)=(\S+) (\S+)i( \(точность не достигнута\))?$", run["transcript"], re.M)
    check_drawing(name, run, printed, steps)
    if polynomials is not None:
        check_steps(name, searches(polynomials), steps)
        polynomials and check_roots(name, run, polynomials, printed)
        for s, land in enumerate(run["landscapes"]):
            land and check_landscape(name, s + 1, polynomials[s], land)
tables = [float(cells[3]) for run in runs for cells in run["stepTable"]]
expect("the step tables showed |P| from 1e6 on and below 1e-4", any(1e6 <= p < math.inf for p in tables) and any(0 < p < 1e-4 for p in tables))
tried = json.load(open(sys.argv[2])) if len(sys.argv) > 2 else {"experiments": [], "maps": []}
for run in tried["experiments"] + tried["maps"]:
    if run["table"] is not None:
        (check_experiment if "steps" in run else check_map)(run)
print("\n".join(failures) or f"{len(runs)} runs as the transcripts{'' if runs[0].get('told') is None else ', the model and mpmath'} have them")
sys.exit(1 if failures else 0)
