// The page is a view of the window's behaviour, which runs as WebAssembly:
// it builds an element for each control, plays each event's effects in
// order (a message waits for its OK before what follows) and passes the
// user's typing and clicks on. The session is kept in the tab, as the
// behaviour writes it, so a reload goes on where the user was.
"use strict";

// Around the window, at the window's width.
const MARGIN = 20;

const page = {
    behaviour: null,  // the window's behaviour, from the WebAssembly
    window: document.getElementById("window"),  // the window as drawn
    frame: document.getElementById("frame"),
    dialog: document.getElementById("message"),
    notice: document.getElementById("notice"),
    share: document.getElementById("share"),
    elements: [],
    gridColumns: 1,  // of a panel on a phone, which every line's fields divide evenly
    report: null,
    queue: Promise.resolve(),
};

// The browser's language: how it writes one and a half, and a short date.
// A language that is not a tag ("C", "en_US.UTF-8", none) or an Intl that
// fails gives the defaults: the full stop, and the date as dd/mm/yyyy.
function locale() {
    const today = new Date();
    try {
        const [language] = Intl.getCanonicalLocales(navigator.language || []);
        if (language) {
            const shortDate = new Intl.DateTimeFormat(language, { dateStyle: "short" }).format(today);
            return { oneAndAHalf: (1.5).toLocaleString(language), shortDate };
        }
    } catch (unusable) {
        // the defaults below
    }
    const two = (n) => String(n).padStart(2, "0");
    return { oneAndAHalf: "1.5", shortDate: `${two(today.getDate())}/${two(today.getMonth() + 1)}/${today.getFullYear()}` };
}

function createElement(control) {
    const id = control.objectName;
    let element;
    switch (control.kind) {
    case "panel":
        element = document.createElement("section");
        element.classList.add("panel");
        element.append(Object.assign(document.createElement("div"), { className: "frame" }));
        element.append(Object.assign(document.createElement("h2"), { className: "title" }));
        element.setAttribute("aria-labelledby", `${id}-title`);
        element.lastChild.id = `${id}-title`;
        break;
    case "entry":
    case "result":
        element = document.createElement("input");
        element.type = "text";
        element.autocomplete = "off";
        element.spellcheck = false;
        if (control.numeric)
            element.inputMode = "decimal";
        if (control.kind === "result")
            element.setAttribute("aria-label", control.name);
        break;
    case "label":
        element = document.createElement(control.labelFor >= 0 ? "label" : "span");
        break;
    case "button":
        element = document.createElement("button");
        element.type = "button";
        break;
    case "report":
        element = document.createElement("textarea");
        element.setAttribute("aria-label", control.name);
        page.report = element;
        break;
    default:
        throw new Error(`no element for a control of kind "${control.kind}"`);
    }
    element.id = id;
    element.classList.add("control");
    // Where it stands on a phone: panels and the report in one column, the
    // rest on the lines of its panel (the panel's title takes the first).
    if (control.parent < 0)
        element.style.order = control.line;
    else {
        const span = page.gridColumns / control.columns;
        element.style.gridRow = String(control.line + 2);
        element.style.gridColumn = `${span * control.column + 1} / span ${span}`;
    }
    return element;
}

function render(index, state) {
    const element = page.elements[index];
    if (element.classList.contains("panel"))
        element.querySelector(".title").textContent = state.text;
    else if (element instanceof HTMLInputElement) {
        if (element.value !== state.text)
            element.value = state.text;
        element.readOnly = state.readOnly;
    } else if (element === page.report)
        element.readOnly = state.readOnly;
    else
        element.textContent = state.text;
    const style = element.style;
    style.color = state.colour;
    style.setProperty("--points", state.fontPoints);
    style.setProperty("--left", `${state.left}px`);
    style.setProperty("--top", `${state.top}px`);
    // A label takes its text's size.
    style.setProperty("--width", state.width > 0 ? `${state.width}px` : "auto");
    style.setProperty("--height", state.width > 0 ? `${state.height}px` : "auto");
    element.hidden = state.hidden;
}

function showMessage(text) {
    document.getElementById("message-text").textContent = text;
    return new Promise((resolve) => {
        page.dialog.addEventListener("close", resolve, { once: true });
        page.dialog.showModal();
        page.dialog.querySelector("button").focus();
    });
}

async function copyReport() {
    try {
        await navigator.clipboard.writeText(page.behaviour.reportText());
        return true;
    } catch (refused) {
        return false;
    }
}

// The tab's store, which may throw on any use (no storage, a full quota).
function stored(key) {
    try {
        return sessionStorage.getItem(key);
    } catch (unreadable) {
        return null;
    }
}

function clearStored(key) {
    for (let i = sessionStorage.length - 1; i >= 0; --i) {
        const kept = sessionStorage.key(i);
        if (kept === key || kept.startsWith(`${key}.`))
            sessionStorage.removeItem(kept);
    }
}

// The session as it stands after an event, messages and all: a reload does
// not show a message again. A refused write keeps nothing, and the
// behaviour's notice says so; its effects are returned.
function keepSession() {
    for (const step of page.behaviour.sessionSteps()) {
        try {
            if (step.kind === "set")
                sessionStorage.setItem(step.key, step.text);
            else
                clearStored(step.key);
        } catch (refused) {
            const said = page.behaviour.storeRefused();
            try {
                page.behaviour.sessionSteps().forEach((s) => clearStored(s.key));
            } catch (unavailable) {
                // nothing can be stored, nor anything be left to restore
            }
            return said;
        }
    }
    return [];
}

// An event of the behaviour, with the session kept as it leaves it.
function act(event) {
    return event().concat(keepSession());
}

async function play(effects) {
    for (const effect of effects) {
        switch (effect.kind) {
        case "change":
            render(effect.control, effect.state);
            break;
        case "message":
            await showMessage(effect.text);
            break;
        case "focus":
            page.elements[effect.control].focus();
            break;
        case "copyReport": {
            const copied = await copyReport();
            await play(act(() => page.behaviour.reportCopied(copied)));
            break;
        }
        case "reportLines":
            page.report.value += (page.report.value ? "\n" : "") + effect.text;
            break;
        case "selectReport":
            page.report.select();
            break;
        case "notice":
            say(effect.text);
            break;
        case "offerShare":
            // A browser that can send a text to another app (a phone's share sheet).
            if (navigator.share) {
                page.share.textContent = effect.text;
                page.share.hidden = false;
            }
            break;
        case "close":
            // A page cannot close itself.
            await play(page.behaviour.closeRefused());
            break;
        default:
            throw new Error(`no way to play an effect of kind "${effect.kind}"`);
        }
    }
}

// Events are taken in order; a message holds the next until its OK.
// The root's data-busy counts the events not yet played to their end.
function whenFree(event) {
    const root = document.documentElement.dataset;
    root.busy = Number(root.busy || 0) + 1;
    page.queue = page.queue.then(() => play(act(event))).catch((failure) => showMessage(String(failure)))
        .finally(() => { root.busy = Number(root.busy) - 1; });
}

// Where the window and its margins do not fit, the controls stand in one
// column, as a phone shows them: the viewport's width alone decides.
function fitToScreen(width) {
    const wide = matchMedia(`(min-width: ${width + 2 * MARGIN}px)`);
    const fit = () => document.documentElement.classList.toggle("phone", !wide.matches);
    fit();
    wide.addEventListener("change", fit);
}

function build(module) {
    const layout = module.layout();
    const { oneAndAHalf, shortDate } = locale();
    page.behaviour = new module.Window(oneAndAHalf, shortDate);
    const resumed = page.behaviour.resume(stored);
    document.title = layout.title;
    const root = document.documentElement.style;
    root.setProperty("--font", `"${layout.fontFamily}", Arial, sans-serif`);
    root.setProperty("--window-width", `${layout.width}px`);
    root.setProperty("--margin", `${MARGIN}px`);
    root.setProperty("--window-height", `${layout.height}px`);
    root.setProperty("--font-points", layout.fontPoints);
    root.setProperty("--window-colour", layout.windowColour);
    root.setProperty("--base-colour", layout.baseColour);
    root.setProperty("--highlight-colour", layout.highlightColour);
    const gcd = (a, b) => (b ? gcd(b, a % b) : a);
    page.gridColumns = layout.controls.reduce((n, c) => (n * c.columns) / gcd(n, c.columns), 1);
    root.setProperty("--grid-columns", page.gridColumns);
    // The arrangement first, so that the controls are laid out once.
    fitToScreen(layout.width);
    const controls = layout.controls;
    page.elements = controls.map(createElement);
    controls.forEach((c, i) => {
        if (c.labelFor >= 0)
            page.elements[i].htmlFor = controls[c.labelFor].objectName;
        if (c.kind === "button")
            page.elements[i].addEventListener("click", () => whenFree(() => page.behaviour.press(i)));
        if (c.kind === "entry") {
            page.elements[i].addEventListener("input", (e) => {
                const text = e.target.value;
                whenFree(() => page.behaviour.edit(i, text));
            });
        }
        render(i, page.behaviour.state(i));
    });
    // In the page's order, which is the Tab order: panels, then the
    // controls that take the focus, then the rest.
    const parentOf = (c) => (c.parent >= 0 ? page.elements[c.parent] : page.window);
    const order = controls.map((c, i) => i).filter((i) => controls[i].kind === "panel")
        .concat(layout.tabOrder, controls.map((c, i) => i));
    for (const i of new Set(order))
        parentOf(controls[i]).append(page.elements[i]);
    // A cancelled share is no failure.
    page.share.addEventListener("click", () => navigator.share({ text: page.behaviour.reportText() }).catch(() => {}));
    // Where the user moves the focus, a reload puts it back.
    page.window.addEventListener("focusin", (e) => {
        const control = page.elements.indexOf(e.target);
        if (control >= 0) {
            page.behaviour.focusMoved(control);
            play(keepSession());
        }
    });
    whenFree(() => resumed);
    page.window.removeAttribute("aria-busy");
    // Interactive once the texts are drawn in the window's own font.
    document.fonts.ready.then(() => {
        document.documentElement.dataset.ready = String(performance.now());
    });
}

function say(text) {
    page.notice.textContent = text;
    page.notice.hidden = false;
    page.window.removeAttribute("aria-busy");
}

// A new build's worker takes over as soon as it has every file of its
// build; a page that is still loading then reloads, so that it never runs
// files of two builds. A page already running goes on with its own until
// the next load.
let running = false;
let takenOver = false;
if ("serviceWorker" in navigator && navigator.serviceWorker.controller) {
    navigator.serviceWorker.addEventListener("controllerchange", () => {
        takenOver = true;
        if (!running)
            location.reload();
    }, { once: true });
}

// A browser without WebAssembly, or a first visit that lost the network on
// the way, gets a message instead of an empty page; a page that loaded but
// could not start says what failed.
new Promise((resolve) => resolve(Quorvane())).then((module) => {
    if (takenOver)
        return;
    running = true;
    try {
        build(module);
    } catch (failure) {
        say(module.startFailure(String(failure)));
    }
}, () => takenOver || say("Não foi possível carregar o Quorvane neste navegador. Recarregue a página com a rede "
    + "ligada ou use um navegador atualizado."));
if ("serviceWorker" in navigator)
    navigator.serviceWorker.register("sw.js").catch(() => {});
