// The page in three browser engines, typed into, clicked and tapped as a
// user does: one table of scenarios, run in each engine at a phone's width,
// the window's or both, where what a row checks differs; then the page's
// own mechanics (updates, the browser's environment, a full tab, the
// layout's switch) in Chromium.
// Usage: node browser_test.mjs SITE NEXT_SITE SUPPORT_DIR WEB_SOURCE [ENGINE...]
import { execFile } from "node:child_process";
import { cp, mkdtemp, readFile, appendFile } from "node:fs/promises";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { dirname, extname, join, normalize } from "node:path";
import { fileURLToPath } from "node:url";
import { promisify } from "node:util";
import { open } from "./engines.mjs";

const [SITE, NEXT_SITE, SUPPORT, WEB_SOURCE, ...asked] = process.argv.slice(2);
const ENGINES = asked.length ? asked : ["chromium", "webkit", "firefox"];
const HERE = dirname(fileURLToPath(import.meta.url));
const SHOTS = process.env.QUORVANE_SHOTS || "";  // a folder for screenshots
const ONLY = process.env.QUORVANE_ONLY || "";     // the scenarios whose names hold it
const WIDTHS = { phone: [390, 844], window: [1280, 800] };
// The default pass's threshold in mV, as panel 3 shows it: the page has run.
const THRESHOLD = "   345.769 mV";
const RED = "rgb(221, 0, 0)";

function check(condition, what) {
    if (!condition)
        throw new Error(what);
}

function same(actual, expected, what) {
    check(JSON.stringify(actual) === JSON.stringify(expected),
        `${what}: ${JSON.stringify(actual)}, not ${JSON.stringify(expected)}`);
}

// The site on 127.0.0.1, from a folder that can change under it, as a host
// that is redeployed, sends Cache-Control, loses a file or goes away.
async function serve(root) {
    const host = { root, maxAge: 0, missing: new Set(), down: false };
    const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm",
        ".svg": "image/svg+xml", ".png": "image/png", ".woff2": "font/woff2", ".webmanifest": "application/manifest+json" };
    const server = createServer(async (request, response) => {
        if (host.down)
            return request.socket.destroy();
        let path = normalize(decodeURIComponent(new URL(request.url, "http://host").pathname)).slice(1);
        path = path === "" ? "index.html" : path;
        try {
            check(!host.missing.has(path) && !path.startsWith(".."), "missing");
            const body = await readFile(join(host.root, path));
            const headers = { "Content-Type": types[extname(path)] || "text/plain" };
            if (host.maxAge)
                headers["Cache-Control"] = `max-age=${host.maxAge}`;
            response.writeHead(200, headers).end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    host.url = `http://127.0.0.1:${server.address().port}/`;
    host.close = () => new Promise((resolve) => server.closeAllConnections() || server.close(resolve));
    return host;
}

// Waits for a script's value to be truthy, and gives it.
async function until(page, source, what, ms = 10000, ...args) {
    const end = Date.now() + ms;
    for (;;) {
        // A page on its way to another document answers nothing for a while.
        const value = await page.evaluate(source, ...args).catch(() => null);
        if (value)
            return value;
        check(Date.now() < end, `${what}: not within ${ms} ms`);
        await new Promise((resolve) => setTimeout(resolve, 25));
    }
}

// The page's queue has played every event to its end, or waits on a message.
const settled = `const d = document.documentElement.dataset;
    return d.ready !== undefined && ((d.busy || "0") === "0" || document.getElementById("message").open);`;
const settle = (page) => until(page, settled, "the page's events played");

// Loads the page, once its window is drawn; the date it started with.
async function load(page, url) {
    if (url)
        await page.goto(url);
    else
        await page.reload();
    await settle(page);
    return new Date(await page.evaluate("return performance.timeOrigin"));
}

async function press(page, ...controls) {
    for (const control of controls) {
        await (page.phone ? page.tap(control) : page.click(control));
        await settle(page);
    }
}

async function type(page, control, text) {
    await press(page, control);
    await page.keys("SelectAll", text);
    await settle(page);
}

const value = (page, control) => page.evaluate("return document.getElementById(arguments[0]).value", control);
const colour = (page, control) => page.evaluate("return getComputedStyle(document.getElementById(arguments[0])).color", control);
const shown = (page, control) => page.evaluate("return document.getElementById(arguments[0]).getClientRects().length > 0", control);
const notice = (page) => page.evaluate(`const n = document.getElementById("notice"); return n.hidden ? "" : n.textContent;`);

// The open message's text, closed on its focused OK (a tap on a phone,
// else Return); what follows it is then played.
async function message(page, measure) {
    await until(page, `return document.getElementById("message").open`, "no message");
    const [text, focused] = await page.evaluate(`return [document.getElementById("message-text").textContent,
        document.activeElement === document.querySelector("#message button")]`);
    check(focused, `OK is not focused under "${text}"`);
    if (measure)
        await measure();
    if (page.phone)
        await page.tap("message-ok");
    else
        await page.keys("Return");
    await until(page, `return !document.getElementById("message").open`, "the message stays open");
    await settle(page);
    return text;
}

// The report's title line takes the date as the browser's language writes
// a short date: month first in the US.
function shortDate(date, language) {
    const two = (n) => String(n).padStart(2, "0");
    if (language === "en-US")
        return `${date.getMonth() + 1}/${date.getDate()}/${String(date.getFullYear()).slice(2)}`;
    return `${two(date.getDate())}/${two(date.getMonth() + 1)}/${date.getFullYear()}`;
}

async function golden(started, language) {
    const report = await readFile(join(SUPPORT, "default_report.txt"), "utf8");
    return report.replace("{date}", shortDate(started, language)).replaceAll("\n", "\r\n");
}

// The report as "Sair" left it: from the engine's clipboard where the test
// can read it, else from the report the page shows after "Sair".
async function reportAfterSair(page, browser) {
    if (browser.can.clipboardRead)
        return page.clipboard();
    return page.evaluate(`return document.getElementById("report").value.replaceAll("\\n", "\\r\\n") + "\\r\\n"`);
}

// On a phone: every target at least 44 px, every text at least 16 px, and
// no control over another.
const MEASURE = `
const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== "hidden";
const targets = [...document.querySelectorAll("input, button, textarea")].filter(shown);
const texts = [...document.querySelectorAll("body *")].filter((e) => shown(e) && (e.value
    || [...e.childNodes].some((n) => n.nodeType === Node.TEXT_NODE && n.textContent.trim())));
// Under an open message the page is inert: the message's own controls.
const controls = [...document.querySelectorAll(document.querySelector("dialog[open]") ? "dialog[open] button"
    : ".control:not(.panel)")].filter(shown);
const box = (e) => e.getBoundingClientRect();
const name = (e) => e.id || e.tagName;
const overlaps = [];
controls.forEach((a, i) => controls.slice(i + 1).forEach((b) => {
    const p = box(a), q = box(b);
    if (Math.min(p.right, q.right) - Math.max(p.left, q.left) > 0.5 && Math.min(p.bottom, q.bottom) - Math.max(p.top, q.top) > 0.5)
        overlaps.push(name(a) + "/" + name(b));
}));
const side = (e) => Math.min(box(e).width, box(e).height);
const smallest = targets.reduce((a, b) => (side(b) < side(a) ? b : a));
const font = (e) => parseFloat(getComputedStyle(e).fontSize);
const smallText = texts.reduce((a, b) => (font(b) < font(a) ? b : a));
return {target: [name(smallest), side(smallest)], text: [name(smallText), font(smallText)], overlaps,
        sideways: document.documentElement.scrollWidth > document.documentElement.clientWidth};`;

async function measured(page, seen) {
    const m = await page.evaluate(MEASURE);
    check(m.target[1] >= 44 && m.text[1] >= 16 && !m.overlaps.length && !m.sideways, `${seen}: ${JSON.stringify(m)}`);
    page.log(`${seen}: smallest target ${m.target.join(" ")} px, smallest text ${m.text.join(" ")} px`);
}

// axe-core's violations of WCAG 2.0, 2.1 and 2.2 at A and AA.
async function axe(page, seen) {
    const source = await readFile(join(HERE, "node_modules", "axe-core", "axe.min.js"), "utf8");
    await page.evaluate(source);
    const violations = await page.evaluateAsync(`axe.run({runOnly: {type: "tag", values: ["wcag2a", "wcag2aa",
        "wcag21a", "wcag21aa", "wcag22a", "wcag22aa"]}}).then((r) => arguments[0](r.violations.map((v) =>
        v.id + ": " + v.nodes.map((n) => n.target).join(", "))))`);
    same(violations, [], `axe ${seen}`);
}

// On a phone each entry's caption is the line above it: its one label,
// over it and across it, no other entry between them.
const CAPTIONS = `const box = (e) => e.getBoundingClientRect();
const across = (a, b) => Math.min(a.right, b.right) - Math.max(a.left, b.left) > 0.5;
const entries = [...document.querySelectorAll("#window input[data-entry]")];
const astray = [...document.querySelectorAll("#window label")].filter((l) => !entries.includes(l.control))
    .map((l) => l.id + " labels no entry");
return astray.concat(entries.flatMap((entry) => {
    const labels = [...entry.labels];
    if (labels.length !== 1)
        return [entry.id + " has " + labels.length + " captions"];
    const c = box(labels[0]), e = box(entry);
    const between = entries.filter((o) => o !== entry && across(box(o), e) && box(o).top >= c.bottom - 0.5
        && box(o).bottom <= e.top + 0.5);
    return c.bottom <= e.top + 0.5 && across(c, e) && !between.length ? []
        : [labels[0].id + " " + JSON.stringify([c.left, c.top, c.right, c.bottom]) + " is not over "
            + entry.id + " " + JSON.stringify([e.left, e.top, e.right, e.bottom])];
}));`;

// An entry the behaviour has locked, tapped or clicked and typed into as a
// user does: its text stays, and no edit reaches the behaviour.
async function typeIntoLocked(page, control, kept) {
    await page.evaluate(`const behaviour = page.behaviour, edit = behaviour.edit;
        window.edits = [];
        behaviour.edit = function (...args) { edits.push(args); return edit.apply(this, args); };`);
    await type(page, control, "9");
    same([await value(page, control), await page.evaluate("return edits")], [kept, []], `the locked ${control}, typed into`);
}

// The scenarios every engine runs, each at the widths where it differs:
// each is given a page at the start and the date it started with.
const TABLE = [
    ["the default pass from the keyboard, then Sair: the report on the engine's clipboard", "en-US", ["window"],
        async (page, browser, started) => {
            await page.evaluate(`document.getElementById("speakerBrand").focus()`);
            await page.keys("Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Return", "Return", "Return");
            await settle(page);
            await axe(page, "after the default pass");
            if (SHOTS)
                await page.screenshot(join(SHOTS, `${page.engine}-${page.width}-default-pass.png`));
            await page.keys("Tab", "Tab", "Return");
            await message(page);  // its text is the behaviour's tests' to hold
            same(await reportAfterSair(page, browser), await golden(started, "en-US"), "the report after Sair");
        }],
    ["taps or clicks: captions over their entries, the default pass, a locked entry, Listar, then Sair", "en-US",
        ["phone", "window"], async (page) => {
            if (page.phone)
                same(await page.evaluate(CAPTIONS), [], "captions not over their entries");
            await press(page, "speakerAceita", "amplifierAceita");
            if (page.phone)
                await typeIntoLocked(page, "speakerPmax", "125.00");
            await press(page, "calcula");
            if (page.phone)
                await measured(page, "after the default pass");
            await press(page, "listar");
            check(!(await shown(page, "speakerPanel")) && await shown(page, "report"), "Listar does not show the report");
            if (page.phone)
                await measured(page, "with Listar");
            await press(page, "sair");
            await message(page, page.phone && (() => measured(page, "the message")));
            check(await shown(page, "report") && !!(await notice(page)), "the report and a notice are not shown after Sair");
            if (page.phone)
                await axe(page, "after Sair");
        }],
    ["a refused value", "en-US", ["phone"], async (page) => {
        await type(page, "speakerPmax", "a");
        await message(page);
        same(await colour(page, "speakerPmax"), RED, "the refused entry's colour");
        await type(page, "speakerPmax", "125");
        same(await colour(page, "speakerPmax"), RED, "a retyped entry's colour");
        await press(page, "speakerAceita");
        same(await colour(page, "speakerPmax"), "rgb(0, 0, 255)", "an accepted entry's colour");
    }],
    ["the warning, and several blocks", "en-US", ["window"], async (page) => {
        await type(page, "crestDb", "14");
        await press(page, "speakerAceita", "amplifierAceita", "calcula");
        await message(page);  // the warning
        same([await colour(page, "crestDb"), await shown(page, "amplifierAceita")], [RED, true], "the crest factor");
        // The report shown once with the first block, then with the second.
        await press(page, "listar", "voltar", "recalcula", "speakerAceita", "amplifierAceita", "calcula");
        await message(page);
        await press(page, "listar");
        const report = await value(page, "report");
        check(report.includes(" Ajuste : 1  ") && report.includes(" Ajuste : 2  ") && report.split("\n").length === 83,
            "the report does not hold two blocks");
    }],
    ["a comma locale", "pt-BR", ["phone"], async (page, browser, started) => {
        // The example entries, written with a full stop, are refused until retyped.
        await press(page, "speakerAceita");
        await message(page);
        await type(page, "speakerZnom", "8");
        await type(page, "amplifierVin", "0,775");
        await press(page, "speakerAceita", "amplifierAceita", "calcula");
        same(await value(page, "limVolts"), "    0,346  V", "the threshold in a comma locale");
        await press(page, "listar");
        check((await value(page, "report")).startsWith((await golden(started, "pt-BR")).split("\r\n")[0]),
            "the report's title in a comma locale");
    }],
    ["a reload goes on, and Sair ends the session", "en-US", ["window"], async (page) => {
        await press(page, "speakerAceita", "amplifierAceita", "calcula", "listar");
        const look = `return [...document.querySelectorAll(".control")].map((e) => [e.id, e.value ?? e.textContent,
            getComputedStyle(e).color, e.hidden, !!e.readOnly]).concat([document.activeElement.id]);`;
        const before = await page.evaluate(look);
        await load(page);
        same(await page.evaluate(look), before, "the page after a reload");
        // As the default pass and Listar left it: panels 1 and 2 locked, the
        // results, the report of one block, the focus where the click left it.
        same(await page.evaluate(`const e = (id) => document.getElementById(id);
            return [...["speakerPmax", "crestDb", "limMillivolts"].map((id) => [e(id).value, getComputedStyle(e(id)).color,
                e(id).readOnly]), ...["speakerAceita", "amplifierAceita", "recalcula", "speakerPanel", "voltar", "report"]
                .map((id) => e(id).hidden), e("report").value.split("\\n").length, document.activeElement.id];`),
        [["125.00", "rgb(0, 0, 255)", true], ["6.00", "rgb(0, 0, 255)", true], [THRESHOLD, RED, true],
            true, true, true, true, false, false, 42, "listar"], "the page after a reload");
        await press(page, "voltar", "sair");
        await message(page);
        await load(page);
        same([await value(page, "limMillivolts"), await page.evaluate("return Object.keys(sessionStorage)")],
            ["", ["quorvane-session"]], "the page after Sair and a reload");
    }],
    ["what looks like HTML in an entry stays text", "en-US", ["window"], async (page) => {
        const html = "<img src=x onerror=window.hurt=1>";
        await type(page, "speakerBrand", html);
        await press(page, "speakerAceita", "amplifierAceita", "calcula", "listar");
        await load(page);
        same(await page.evaluate(`return [window.hurt, document.querySelectorAll("img").length,
            document.getElementById("speakerBrand").value.trim()]`), [null, 0, html],
            "the entry after a reload");
        check((await value(page, "report")).includes(`Marca : ${html} `), "the report lost the entry's text");
    }],
    ["the session of a build with a field and a value fewer is taken up", "en-US", ["phone"], async (page) => {
        const keys = ["quorvane-session", "quorvane-session.block.1", "quorvane-session.block.2"];
        const texts = await Promise.all(keys.map((key) => readFile(join(SUPPORT, "session", key), "utf8")));
        await page.evaluate("arguments[0].forEach((key, i) => sessionStorage.setItem(key, arguments[1][i]))", keys, texts);
        await load(page);
        same([await value(page, "limMillivolts"), await value(page, "limDbvRight"),
            (await value(page, "report")).split("\n").length, await page.evaluate("return document.activeElement.id"),
            await notice(page)], ["   868.534 mV", "", 83, "voltar", ""], "the page after the build before's session");
    }],
];

// The page's mechanics, in Chromium: each is given a browser and a host.
const MECHANICS = [
    ["a new tab starts anew", async (browser, host) => {
        const page = await pageOf(browser, "window");
        await load(page, host.url);
        await press(page, "speakerAceita", "amplifierAceita", "calcula");
        const tab = Object.assign(await page.newTab(), { phone: false, log: page.log });
        await load(tab, host.url);
        same(await value(tab, "limMillivolts"), "", "a new tab's threshold");
    }],
    ["Sair with the clipboard refused", async (browser, host) => {
        const refusing = await open("chromium", { language: "en-GB", clipboard: "denied" });
        try {
            const page = await pageOf(Object.assign(refusing, { log: browser.log }), "window");
            await load(page, host.url);
            await press(page, "sair");
            await message(page);
            check(await shown(page, "speakerPanel") && !(await notice(page)), "the page changed although nothing was copied");
        } finally {
            await refusing.close();
        }
    }],
    ["after Sair the report can be shared, and a cancel is silent", async (browser, host) => {
        const page = await pageOf(browser, "phone");
        await page.addInitScript(WATCH);
        await page.addInitScript(`window.shared = [];
            navigator.share = (data) => { shared.push(data); return shared.length > 1
                ? Promise.reject(new DOMException("cancelled", "AbortError")) : Promise.resolve(); };`);
        const started = await load(page, host.url);
        await press(page, "speakerAceita", "amplifierAceita", "calcula", "sair");
        await message(page);
        check(await shown(page, "share"), "no offer to send the report");
        await press(page, "share", "share");
        same([await page.evaluate("return shared.map((d) => Object.keys(d).join() + ': ' + d.text)"), await errors(page),
            await page.evaluate("return document.getElementById('message').open")],
        [[`text: ${await golden(started, "en-GB")}`, `text: ${await golden(started, "en-GB")}`], [], false],
        "what was shared, and after a cancel");
        page.log("the stand-in navigator.share received {text} with the report's exact text, CR LF and all");
    }],
    ["an effect the page does not know fails loudly", async (browser, host) => {
        const page = await pageOf(browser, "window");
        await load(page, host.url);
        same(await page.evaluate(`return play([{ kind: { value: 99 } }]).then(() => "", String)`),
            'Error: no way to play an effect of kind "99"', "what the page says of an effect it does not know");
    }],
    ["each event is one call into the module, and the focus it moves is not reported back", async (browser, host) => {
        const page = await pageOf(browser, "window");
        await page.addInitScript(COUNT_CALLS);
        await load(page, host.url);
        const calls = async (step) => {
            await page.evaluate("calls.length = 0");
            await step();
            return page.evaluate("return calls.join()");
        };
        same([await calls(() => type(page, "crestDb", "14")), await calls(() => press(page, "speakerAceita")),
            await calls(() => press(page, "amplifierAceita")), await calls(() => press(page, "calcula").then(() => message(page)))],
        // The click on the first Aceita moves the focus, the behaviour then moves it to the next.
        ["focusMoved,edit,edit", "focusMoved,press", "press", "press"],
        "the calls of a click and two keys, two Aceita and a warned Calcula");
    }],
    ["a reload with no network", async (browser, host) => {
        const page = await pageOf(browser, "window");
        await load(page, host.url);
        await controlled(page);
        await host.close();
        await load(page);
        await press(page, "speakerAceita", "amplifierAceita", "calcula");
        same(await value(page, "limMillivolts"), THRESHOLD, "the threshold offline");
    }],
    ["a browser without WebAssembly sees the window as it starts, greyed, but not a kept session", async (browser, host) => {
        const page = await pageOf(browser, "phone");
        await page.addInitScript("delete window.WebAssembly");
        const look = `return [getComputedStyle(document.getElementById("window")).visibility,
            ...["speakerBrand", "calcula"].map((id) => document.getElementById(id)).map((e) => [e.value || e.textContent,
                e.disabled, getComputedStyle(e).opacity])];`;
        await page.goto(host.url);
        for (const kept of [false, true]) {
            check((await until(page, "return document.getElementById('notice').textContent", "no notice"))
                .startsWith("Não foi possível carregar o Quorvane"), "the notice does not say the page did not load");
            same(await page.evaluate(look), [kept ? "hidden" : "visible", ["Tamsorel", true, "0.5"], ["Calcula", true, "0.5"]],
                `the window before the module${kept ? ", a session kept" : ""}`);
            if (!kept) {
                await measured(page, "the window before the module");
                await page.evaluate("sessionStorage.setItem('quorvane-session', '{}')");
                await page.reload();
            }
        }
    }],
    ["a start in each bad environment", async (browser, host) => {
        // Each gives the defaults; only a store that refuses every write
        // has a notice: that the session is not kept.
        const environments = [
            ["the language C", "Object.defineProperty(Navigator.prototype, 'language', {get: () => 'C'})", false],
            ["no language", "Object.defineProperty(Navigator.prototype, 'language', {get: () => ''})", false],
            ["the language en_US.UTF-8",
                "Object.defineProperty(Navigator.prototype, 'language', {get: () => 'en_US.UTF-8'})", false],
            ["an Intl that throws", `for (const f of ["DateTimeFormat", "getCanonicalLocales", "NumberFormat"])
                Intl[f] = () => { throw new RangeError("no Intl"); };`, false],
            ["a store that throws on read",
                "Storage.prototype.getItem = () => { throw new DOMException('no', 'SecurityError'); }", false],
            ["a store that throws on write",
                "Storage.prototype.setItem = () => { throw new DOMException('no', 'SecurityError'); }", true],
        ];
        for (const [environment, script, notKept] of environments) {
            const page = await pageOf(browser, "window");
            await page.addInitScript(WATCH);
            await page.addInitScript(script);
            const started = await load(page, host.url);
            await press(page, "speakerAceita", "amplifierAceita", "calcula", "listar");
            same([await value(page, "limMillivolts"), (await value(page, "report")).split("\n")[0], await errors(page)],
                [THRESHOLD, (await golden(started, "en-GB")).split("\r\n")[0], []], environment);
            const said = await notice(page);
            check(!!said === notKept, `${environment}: the notice "${said}"`);
            page.log(`${environment}: the defaults${said ? ", and the notice that the session is not kept" : ""}`);
            await page.close();
        }
    }],
    ["a full tab keeps nothing, and says so once", async (browser, host) => {
        const page = await pageOf(browser, "window");
        await load(page, host.url);
        await press(page, "speakerAceita", "amplifierAceita", "calcula");
        // Another key takes all the room there is.
        const room = await page.evaluate(`let low = 0, high = 1 << 24;
            while (low < high) {
                const n = Math.ceil((low + high) / 2);
                try { sessionStorage.setItem("other", "x".repeat(n)); low = n; } catch { high = n - 1; }
            }
            sessionStorage.setItem("other", "x".repeat(low)); return low;`);
        await press(page, "recalcula", "speakerAceita", "amplifierAceita", "calcula");
        same([!!(await notice(page)), await page.evaluate("return Object.keys(sessionStorage)")],
            [true, ["other"]], "a notice, and the session's keys, after a Calcula the tab cannot hold");
        await load(page);
        same(await value(page, "limMillivolts"), "", "a reload after the tab was full");
        page.log(`another key held ${room} characters`);
    }],
    ["the layout switches at the window's width alone", async (browser, host) => {
        const page = await pageOf(browser, "window");
        await load(page, host.url);
        const flips = [];
        for (let width = 580; width <= 660; ++width) {
            await page.resize(width, 800);
            // Once drawn at the width, and again after more resize events.
            const seen = await page.evaluateAsync(`const done = arguments[0], seen = [];
                const look = () => seen.push(document.documentElement.classList.contains("phone"));
                const frame = (then) => requestAnimationFrame(() => requestAnimationFrame(then));
                frame(() => { look(); dispatchEvent(new Event("resize")); frame(() => { look(); done(seen); }); });`);
            if (seen.some((phone) => phone !== width < 620))
                flips.push(`${width}: ${seen}`);
        }
        same(flips, [], "widths whose layout is not the width's");
        page.log("580 to 619 px: the phone's layout; 620 to 660 px: the window's");
    }],
    ...[["a release", "next", 600], ["a release, no Cache-Control", "next", 0], ["a fix of one file", "fix", 600]]
        .map(([name, build, maxAge]) => [`${name} keeps the session`, (browser, host) => update(browser, host, build, maxAge)]),
    ...[["a file missing", "missing"], ["a host half uploaded", "half"]]
        .map(([name, how]) => [`an update cut short (${name}) leaves the old build, offline too`,
            (browser, host) => cutShort(browser, host, how)]),
];

async function pageOf(browser, width) {
    const page = await browser.page();
    const [w, h] = WIDTHS[width];
    await page.resize(w, h);
    return Object.assign(page, { phone: width === "phone", width, engine: browser.engine, log: browser.log });
}

const controlled = (page) => until(page, "return navigator.serviceWorker.controller !== null", "not served by the worker");
const errors = (page) => page.evaluate("return window.failures || []");
const waiting = (page) => page.evaluateAsync(`navigator.serviceWorker.getRegistration()
    .then((r) => arguments[0](!!(r && (r.waiting || r.installing))))`);

// Build A open with a session; build B deployed; two loads later B runs
// with the session.
async function update(browser, host, build, maxAge) {
    const fix = build === "fix" ? await fixOf(SITE) : null;
    const page = await pageOf(browser, "window");
    await page.addInitScript(WATCH);
    host.maxAge = maxAge;
    await load(page, host.url);
    await controlled(page);
    await press(page, "speakerAceita", "amplifierAceita", "calcula");
    const before = await page.evaluate("return caches.keys()");
    host.root = fix || NEXT_SITE;
    await load(page);
    await until(page, `return caches.keys().then((names) => names.length === 1 && names[0] !== arguments[0])`,
        "the new build did not take over", 10000, before[0]);
    await load(page);
    const [title, fixed] = await page.evaluate(`return [document.title,
        getComputedStyle(document.documentElement).getPropertyValue("--fixed").trim()]`);
    same([fix ? fixed : title, await value(page, "limMillivolts"), await errors(page)],
        [fix ? "1" : await titleOf(NEXT_SITE), THRESHOLD, []], "the page after the update");
    page.log(`${fix ? "the fixed file" : title} runs after two loads, the session kept`);
}

async function cutShort(browser, host, how) {
    const page = await pageOf(browser, "window");
    await page.addInitScript(WATCH);
    host.maxAge = 600;
    await load(page, host.url);
    await controlled(page);
    await press(page, "speakerAceita", "amplifierAceita", "calcula");
    if (how === "missing") {
        host.root = NEXT_SITE;
        host.missing.add("quorvane.wasm");
    } else {
        host.root = await halfOf(SITE, NEXT_SITE);
    }
    same(await page.evaluateAsync(TRY_UPDATE), "redundant", "the update's worker");
    await load(page);
    await load(page);
    host.down = true;
    await load(page);
    const title = await page.evaluate("return document.title");
    same([title, await waiting(page), await value(page, "limMillivolts"), await errors(page)],
        [await titleOf(SITE), false, THRESHOLD, []], "the page after an update cut short");
    page.log(`${title} still runs, offline too`);
}

// Asks for the update and gives what became of the new worker: installed
// (waiting), or redundant (its install failed).
const TRY_UPDATE = `const done = arguments[0];
    navigator.serviceWorker.getRegistration().then((r) => {
        const watch = (w) => w.addEventListener("statechange", () => ["installed", "redundant"].includes(w.state) && done(w.state));
        if (r.installing)
            watch(r.installing);
        r.addEventListener("updatefound", () => watch(r.installing));
        r.update().catch(() => {});
    });`;

// The calls into the module's window, by name, in window.calls.
const COUNT_CALLS = `window.calls = [];
    let factory;
    Object.defineProperty(window, "Quorvane", { configurable: true, get: () => factory, set: (made) => {
        factory = () => made().then((module) => {
            const methods = module.Window.prototype;
            for (const name of Object.getOwnPropertyNames(methods).filter((n) => n !== "constructor")) {
                const own = methods[name];
                methods[name] = function (...args) { calls.push(name); return own.apply(this, args); };
            }
            return module;
        });
    } });`;

// Page errors, kept where the test can read them.
const WATCH = `window.failures = [];
    addEventListener("error", (e) => failures.push(e.message));
    addEventListener("unhandledrejection", (e) => failures.push(String(e.reason)));`;

const run = promisify(execFile);

// The same build with one file changed, and its worker's list made again.
async function fixOf(site) {
    const fix = await mkdtemp(join(tmpdir(), "quorvane-fix-"));
    await cp(site, fix, { recursive: true });
    await appendFile(join(fix, "style.css"), ":root { --fixed: 1; }\n");
    await run("cmake", [`-DSITE=${fix}`, `-DTEMPLATE=${join(WEB_SOURCE, "sw.js.in")}`, "-P", join(WEB_SOURCE, "site.cmake")]);
    return fix;
}

// A host half uploaded: the next build's worker over this build's files.
async function halfOf(site, next) {
    const half = await mkdtemp(join(tmpdir(), "quorvane-half-"));
    await cp(site, half, { recursive: true });
    await cp(join(next, "sw.js"), join(half, "sw.js"));
    return half;
}

// The window's title a build shows, from its version.
async function titleOf(site) {
    const wasm = await readFile(join(site, "quorvane.wasm"), "latin1");
    return wasm.match(/Quorvane V [0-9.]+/)[0];
}

async function main() {
    let failed = 0;
    const attempt = async (name, body) => {
        if (ONLY && !name.includes(ONLY))
            return;
        const began = Date.now();
        try {
            await body();
            console.log(`ok: ${name} (${((Date.now() - began) / 1000).toFixed(1)} s)`);
        } catch (failure) {
            failed += 1;
            console.log(`FAIL: ${name}: ${failure.stack || failure}`);
        }
    };
    for (const engine of ENGINES) {
        for (const language of ["en-US", "pt-BR"]) {
            const browser = await open(engine, { language, phone: true });
            Object.assign(browser, { engine, log: (line) => console.log(`  ${engine}: ${line}`) });
            try {
                for (const [name, , widths, scenario] of TABLE.filter(([, l]) => l === language)) {
                    for (const width of widths) {
                        await attempt(`${engine}, ${width}: ${name}`, async () => {
                            const host = await serve(SITE);
                            const page = await pageOf(browser, width);
                            try {
                                const started = await load(page, host.url);
                                await scenario(page, browser, started);
                            } finally {
                                await page.close();
                                await host.close();
                            }
                        });
                    }
                }
            } finally {
                await browser.close();
            }
        }
    }
    // WebKit takes its language from the process's locale, where "C" is no tag.
    if (ENGINES.includes("webkit")) {
        await attempt("webkit: the language C gives the defaults", async () => {
            const browser = await open("webkit", { language: "C", phone: false });
            const host = await serve(SITE);
            try {
                const page = await browser.page();
                const started = await load(page, host.url);
                same(await page.evaluate("return navigator.language"), "C", "the language");
                await page.click("speakerAceita");
                await page.click("amplifierAceita");
                await page.click("calcula");
                await page.click("listar");
                await settle(page);
                same([await value(page, "limMillivolts"), (await value(page, "report")).split("\n")[0], await notice(page)],
                    [THRESHOLD, (await golden(started, "C")).split("\r\n")[0], ""], "the page in the C locale");
            } finally {
                await host.close();
                await browser.close();
            }
        });
    }
    if (ENGINES.includes("chromium")) {
        const browser = await open("chromium", { language: "en-GB", phone: false });
        Object.assign(browser, { engine: "chromium", log: (line) => console.log(`  chromium: ${line}`) });
        try {
            for (const [name, mechanic] of MECHANICS) {
                await attempt(`chromium: ${name}`, async () => {
                    const host = await serve(SITE);
                    try {
                        await mechanic(browser, host);
                    } finally {
                        await host.close();
                    }
                });
            }
        } finally {
            await browser.close();
        }
    }
    process.exit(failed ? 1 : 0);
}

main().catch((failure) => {
    console.log(`FAIL: ${failure.stack || failure}`);
    process.exit(1);
});
