// The page in headless Chromium, opened from disk. Every dialogue case is
// typed at its terminal as a user types it, a line at once after a slip taken
// back with Backspace, or pasted where it has several; Ctrl+D ends the input
// where the program still asks. The screen
// must show the case's transcript with the input echoed behind the order
// prompt; Shift alone must not end the key wait, x must, with status 0; then
// "run again" starts the next case from the start values.
//   node page_test.js site-folder cases-folder node_modules screenshot.png
"use strict";
const [site, casesFolder, modules, screenshot] = process.argv.slice(2);
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require(path.resolve(modules, "puppeteer-core"));

const cases = fs.readdirSync(casesFolder).filter(name => name.endsWith(".txt")).sort().map(name => {
    const [input, ...transcript] = fs.readFileSync(path.join(casesFolder, name), "utf8").split("\n");
    return {
        name,
        input: input.replace(/\\n/g, "\n").replace(/\\t/g, "\t"),
        transcript: transcript.join("\n").replace(/\n$/, ""),
    };
});

async function main() {
    const browser = await puppeteer.launch({
        executablePath: "/usr/bin/chromium",
        headless: true,
        userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "chord-chromium-")),
        args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync"],
    });
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 700 });
    page.on("pageerror", error => console.log(`page error: ${error.message}`));
    await page.goto("file://" + path.resolve(site, "index.html"));
    const state = () => page.evaluate(() => document.body.dataset.state);
    const settled = async () => {
        await page.waitForFunction(() => !["starting", "running"].includes(document.body.dataset.state), {
            timeout: 10000,
        });
        return state();
    };
    // The terminal's text, and that of the same stream written to a terminal
    // of the same size: tabs and wrapped lines come out alike.
    const screen = () => page.evaluate(() => {
        const lines = [];
        const buffer = terminal.buffer.active;
        for (let k = 0; k < buffer.length; ++k)
            lines.push(buffer.getLine(k).translateToString(true));
        return lines.join("\n").replace(/\n+$/, "");
    });
    const rendered = text => page.evaluate(text => new Promise(resolve => {
        const element = document.createElement("div");
        document.body.appendChild(element);
        const other = new Terminal({ cols: terminal.cols, rows: terminal.rows, scrollback: 1000 });
        other.open(element);
        other.write(text, () => {
            const lines = [];
            for (let k = 0; k < other.buffer.active.length; ++k)
                lines.push(other.buffer.active.getLine(k).translateToString(true));
            other.dispose();
            element.remove();
            resolve(lines.join("\n").replace(/\n+$/, ""));
        });
    }), text);

    let failures = 0;
    for (const [index, c] of cases.entries()) {
        if (index > 0) {
            await page.click("#again");
        }
        if ((await settled()) !== "input")
            throw new Error(`${c.name}: the program does not ask for the order`);
        if (c.input.slice(0, -1).includes("\n")) {
            await page.evaluate(text => terminal.paste(text), c.input);
        } else {
            // A slip first, taken back with Backspace.
            await page.keyboard.type("9");
            await page.keyboard.press("Backspace");
            await page.keyboard.type(c.input.replace(/\n$/, ""));
            if (c.input.endsWith("\n"))
                await page.keyboard.press("Enter");
        }
        for (let ends = 0; (await settled()) === "input" && ends < 3; ++ends) {
            await page.keyboard.down("Control");
            await page.keyboard.press("KeyD");
            await page.keyboard.up("Control");
        }
        const prompt = "Задайте порядок уравнения: ";
        const at = c.transcript.indexOf(prompt) + prompt.length;
        const expected = await rendered(
            (c.transcript.slice(0, at) + c.input + c.transcript.slice(at)).replace(/\n/g, "\r\n"));
        const shown = await screen();
        const problems = [];
        if ((await state()) !== "key")
            problems.push(`not waiting for a key but ${await state()}`);
        if (shown !== expected)
            problems.push(`the screen:\n${shown}\ninstead of:\n${expected}`);
        if (c.name === "quadratic_on_one_line.txt")
            await page.screenshot({ path: screenshot });
        await page.keyboard.press("Shift");
        await new Promise(resolve => setTimeout(resolve, 200));
        if ((await state()) !== "key")
            problems.push("Shift alone ended the key wait");
        await page.keyboard.press("x");
        await page.waitForFunction(() => document.body.dataset.state === "ended", { timeout: 5000 })
            .catch(() => problems.push("x did not end the run"));
        const status = await page.evaluate(() => document.body.dataset.status);
        if (status !== "0")
            problems.push(`status ${status}`);
        console.log(`${c.name}: ${problems.length ? "FAILED\n" + problems.join("\n") : "as expected"}`);
        failures += problems.length > 0;
    }
    await browser.close();
    console.log(`${cases.length - failures} of ${cases.length} cases as expected`);
    process.exitCode = failures > 0 || cases.length < 20 ? 1 : 0;
}

main().catch(error => {
    console.log(error);
    process.exit(1);
});
