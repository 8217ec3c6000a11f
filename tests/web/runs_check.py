#!/usr/bin/python3
# What the page showed of each dialogue case's run (runs.json, from page_test.js), against the transcript, a model of the
# program's float arithmetic and mpmath at 50 digits; where the engine let the page test hear each search's polynomial.
#   runs_check.py runs.json web/src/data/true_roots.js
import csv, ctypes, io, json, math, re, subprocess, sys
import mpmath

mpmath.mp.dps = 50
f = lambda x: ctypes.c_float(x).value
failures = []
expect = lambda what, good, detail="": good or failures.append(f"{what}: {detail}")

# The program's arithmetic: every operation rounded to float, the modulus in
# double; where it divides by 0 (Python stops), any part not finite will do.
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
divided = lambda table, root: [horner(table[:k + 1], root) for k in range(len(table) - 1)]

def searches(tables):
    """Each search's points [re, im, |P|] and end: the chord method with a budget of 10000 steps for all."""
    found, budget = [], 0
    for table in tables:
        x0, x1 = [0.0, 0.0], [1.0, 1.0]
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
        found.append((points, end))
    return found

# The observed order of convergence, as JavaScript's numbers give it.
ratio = lambda a, b: a / b if b else (math.copysign(math.inf, a) if a else math.nan)
log = lambda x: -math.inf if x == 0 else math.log(x)

# A number as the program writes it (printf's %g); text as a float or a double written so, the last digit within a half.
g = lambda x: "%g" % f(float(x))
def near(text, x):
    x = float(x)
    exact = x == 0 or not math.isfinite(x)
    return text == "%g" % (x if exact else float(text)) and (exact or abs(float(text) - x) <= 5.0001e-6 * 10**math.floor(math.log10(abs(x))))
words = {}  # how the step table says each end, the same in every run

def check_drawing(name, run, printed, steps):
    """The plane's trails, roots and labels, the step table's first page, chord-steps.csv and the |P| chart, against the transcript."""
    if not printed:
        return expect(f"{name}: a drawing with no search", not run["steps"] and not run["trails"] and not run["marks"], run)
    expect(f"{name}: the steps file's header", run["steps"].startswith("search,step,re,im,abs_p,order,end,remark\n"))
    expect(f"{name}: a trail and a root for each root printed", len(run["trails"]) == len(run["marks"]) == len(printed), run["trails"])
    expect(f"{name}: the table's first page", run["range"] == f"Строки 1–{len(run['stepTable'])} из {len(steps)}", run["range"])
    for k, (cells, row) in enumerate(zip(run["stepTable"], steps)):
        last = k + 1 == len(steps) or steps[k + 1]["search"] != row["search"]
        words.setdefault(row["end"], cells[5])
        expect(f"{name}: table row {k + 1}", cells[:3] == [row["search"], row["step"], f"{g(row['re'])} {g(row['im'])}i"] and near(cells[3], row["abs_p"])
               and (cells[4] == "" if row["order"] == "" else near(cells[4], row["order"])) and (cells[5] != "") == (cells[6] != "") == last
               and words[row["end"]] == cells[5], cells)
    count = 0
    for s, (k, re_, im, remark) in enumerate(printed):
        own, root = [row for row in steps if row["search"] == k], run["marks"][s]
        at = own[0] if own[-1]["end"] == "budget" and len(own) == 2 else own[-1]
        expect(f"{name}: search {k} drawn", run["trails"][s] == len(own) and [row["step"] for row in own] == list(map(str, range(len(own))))
               and all(row["end"] == row["remark"] == "" for row in own[:-1]) and own[-1]["remark"] == str(int(bool(remark)))
               and root["end"] == own[-1]["end"] and root["remark"] == bool(remark) and [g(root["re"]), g(root["im"])] == [g(at["re"]), g(at["im"])] == [re_, im],
               [root, at])
        count += len(own) - 2 - (own[-1]["end"] == "tolerance")
    expect(f"{name}: the steps drawn and counted", f"Число итераций: {count}\n" in run["transcript"], count)
    left, right, bottom, top = run["view"]
    expect(f"{name}: the view shows the start points", left <= 0 and right >= 1 and bottom <= 0 and top >= 1, run["view"])
    if name == "step_budget":
        expect(f"{name}: x1 beyond the view", right - left < 5 and run["marks"][0]["outside"] and not run["marks"][1]["outside"]
               and "x1 ↙ -208.474 -208.474i" in [text for text, _ in run["texts"]], run["marks"])
    hit = lambda a, b: a[0] < b[1] - 0.5 and b[0] < a[1] - 0.5 and a[2] < b[3] - 0.5 and b[2] < a[3] - 0.5
    texts = run["texts"] + [("a mark", box) for box in run["boxes"]]
    expect(f"{name}: no label overlaps a label or a mark", not [(a, b) for k, a in enumerate(run["texts"]) for b in texts[k + 1:] if hit(a[1], b[1])])
    expect(f"{name}: an infinite |P| drawn", run["ink"] > 20 or not any(row["abs_p"] == "Infinity" for row in steps), run["ink"])
    for line, row in zip(run.get("stepLines", []), steps):
        expect(f"{name}: the step line", near(re.search(r"\|P\(x\)\| = (\S+?)(,|\.$)", line)[1], row["abs_p"]), line)

def check_steps(name, polynomials, steps):
    """Every row of chord-steps.csv, as the model computes it from each search's polynomial."""
    model = [(s + 1, k, point, points, end) for s, (points, end) in enumerate(searches(polynomials)) for k, point in enumerate(points)]
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
    """The roots of a polynomial (highest power first), exact zeros apart, and how many lie at infinity: all for P = 0."""
    c = [mpmath.mpc(*z) for z in table]
    lead, zeros = next((k for k, z in enumerate(c) if z != 0), len(c)), next((k for k, z in enumerate(reversed(c)) if z != 0), 0)
    return [mpmath.mpc(0)] * zeros + (list(mpmath.polyroots(c[lead:len(c) - zeros], maxsteps=400, extraprec=400)) if len(c) - lead - zeros > 1 else []), lead

def check_stories(name, case, printed, steps):
    """chord-roots.csv's printed roots and each search's story in the step line and the table, against the transcript."""
    expect(f"{name}: chord-roots.csv's header", not printed or case["roots"].startswith("root,re,im,remark,true_re,true_im,error,abs_p_typed\n"))
    for s, (row, (k, re_, im, remark)) in enumerate(zip(csv.DictReader(io.StringIO(case["roots"])), printed)):
        expect(f"{name}: x{k} in the file", [row["root"], g(row["re"]), g(row["im"]), row["remark"]] == [k, re_, im, str(int(bool(remark)))], row)
        story, points = case["stories"][s], [p for p in steps if p["search"] == k]
        made, end, missed = len(points) - 2, points[-1]["end"], next((j for j, p in enumerate(printed[:s]) if p[3]), None)
        told = {"tolerance": f"и за {made} шаг", "budget": "исчерпан" if made == 0 else f"и за {made} шаг", "nonfinite": "делил бы на нуль"}[end]
        expect(f"{name}: search {k}'s story", story == case["table"][s] and story.startswith(f"Поиск {k} начат в точках 0 и 1+i")
               and told in story and f"x{k} = {re_} {im}i" in story and ("не в исходном уравнении" in story) == (missed is not None)
               and (missed is None or f"Поиск {missed + 1} не достиг допуска" in story), story)

def check_roots(name, case, polynomials, printed):
    """chord-roots.csv's true roots, errors and |P| against mpmath, the polynomials told, the true roots drawn, the notes."""
    truth, at_infinity = roots_of(polynomials[0])
    for s, (row, (k, re_, im, remark)) in enumerate(zip(csv.DictReader(io.StringIO(case["roots"])), printed)):
        z = mpmath.mpc(f(float(row["re"])), f(float(row["im"])))
        if s + 1 < len(polynomials):
            expect(f"{name}: the polynomial of search {s + 2}", polynomials[s + 1] == divided(polynomials[s], [float(z.real), float(z.imag)]), polynomials[s + 1])
        if truth:
            # Any true root of the nearest (x² + i has ties); |P| within
            # the rounding bound of Horner's scheme in double.
            d, given = min(abs(t - z) for t in truth), mpmath.mpc(float(row["true_re"]), float(row["true_im"]))
            bound = 4 * len(polynomials[0]) * 2**-52 * P([[abs(mpmath.mpc(*c)), 0] for c in polynomials[0]], abs(z))
            expect(f"{name}: x{k}'s true root, error and |P|", any(close(given, t, abs(t)) for t in truth if close(abs(t - z), d, d))
                   and close(float(row["error"]), d, d) and abs(float(row["abs_p_typed"]) - P(polynomials[0], z)) <= bound + 1e-9 * P(polynomials[0], z), row)
    crosses = [mpmath.mpc(*z) for z in case["crosses"]]
    for t in truth:
        match = min(crosses, key=lambda z: abs(z - t), default=mpmath.inf)
        expect(f"{name}: the true root {mpmath.nstr(t, 8)} drawn", close(match, t, abs(t)), crosses)
        crosses.remove(match) if match in crosses else None
    expect(f"{name}: no other true roots drawn", not crosses, crosses)
    notes, everything = case["notes"], at_infinity == len(polynomials[0])
    times = {sum(1 for u in truth if close(u, t, abs(t))) for t in truth} - {1}
    expect(f"{name}: the notes", (f"остальные {at_infinity} — на бесконечности" in notes) == (0 < at_infinity and not everything)
           and ("любое число" in notes) == everything and all(f"кратности {m}" in notes for m in times), notes)

def check_landscape(name, s, table, land):
    """Search s's landscape: its darkest cells at a root of its polynomial; its tolerance line where |P| is the tolerance and,
    along each axis from each root in view, where |P| first reaches it (unless there below a thousandth of a pixel, or out of view)."""
    (own, _), (left, right, bottom, top) = roots_of(table), land["view"]
    seen = [r for r in own if left <= r.real <= right and bottom <= r.imag <= top]
    far = [z for z in land["darkest"] if seen and min(abs(mpmath.mpc(*z) - r) for r in own) > 2 * land["cell"]]
    expect(f"{name}: search {s}'s darkest cells at its roots", not far, far[:3])
    off = [z for z in land["tolerance"] if not 10**-5.5 <= P(table, mpmath.mpc(*z)) <= 10**-4.5]
    expect(f"{name}: search {s}'s tolerance line", not off, off[:3])
    for r, u in [(r, u) for r in seen for u in (1, -1, 1j, -1j)]:
        inside = outside = land["cell"] / 4 * 2e-3
        while P(table, r + outside * u) < 1e-5 and outside < right - left:
            inside, outside = outside, outside * 1.25
        for _ in range(60 if inside < outside else 0):
            middle = (inside + outside) / 2
            inside, outside = (middle, outside) if P(table, r + middle * u) < 1e-5 else (inside, middle)
        z = r + outside * u
        expect(f"{name}: search {s}'s tolerance line at {mpmath.nstr(z, 8)}", inside == outside or not (left <= z.real <= right and bottom <= z.imag <= top)
               or any(abs(mpmath.mpc(*y) - z) <= outside / 2 for y in land["tolerance"]))

runs, module = json.load(open(sys.argv[1])), sys.argv[2]
for run in runs:
    name, polynomials, steps = run["name"], run.get("told"), list(csv.DictReader(io.StringIO(run["steps"])))
    printed = re.findall(r"^x(\d+)=(\S+) (\S+)i( \(точность не достигнута\))?$", run["transcript"], re.M)
    check_drawing(name, run, printed, steps)
    check_stories(name, run, printed, steps)
    if polynomials is not None:
        check_steps(name, polynomials, steps)
        polynomials and check_roots(name, run, polynomials, printed)
        for s, land in enumerate(run["landscapes"]):
            land and check_landscape(name, s + 1, polynomials[s], land)
tables = [float(cells[3]) for run in runs for cells in run["stepTable"]]
expect("the step tables showed |P| from 1e6 on and below 1e-4", any(1e6 <= p < math.inf for p in tables) and any(0 < p < 1e-4 for p in tables))
expect("each end in words of its own", len(set(words.values())) == len(words) >= 3, words)
# A coefficient the dialogue never reads: infinite or not a number.
told = subprocess.run(["node", "--input-type=module", "-e", f"import {{ trueRoots }} from '{module}'; console.log(JSON.stringify("
                       "[[[1, 0], [Infinity, 0], [3, 0]], [[NaN, 0], [1, 0]]].map(p => trueRoots(p).kind)))"], capture_output=True, text=True).stdout
expect("infinite and not-a-number coefficients", told.strip() == '["undefined","undefined"]', told)
print("\n".join(failures) or f"{len(runs)} runs as the transcripts{'' if runs[0].get('told') is None else ', the model and mpmath'} have them")
sys.exit(1 if failures else 0)
