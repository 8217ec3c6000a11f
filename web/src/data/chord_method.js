// The chord method as the program runs it: its constants, built into the
// program and stated here once for the page, and the rate it converges at.

// The two start points of every search.
export const starts = [{ re: 0, im: 0, name: "0" }, { re: 1, im: 1, name: "1+i" }];
// On |P| at a new point, as the program holds it: 1e-5 as a float.
export const tolerance = Math.fround(1e-5);
// Chord steps that all searches of a run share.
export const stepBudget = 10000;
// The chord method's order of convergence near a simple root.
export const goldenOrder = (1 + Math.sqrt(5)) / 2;
