// The page is a view of the window's behaviour, which runs as WebAssembly:
// it builds an element for each control, plays each event's effects in
// order (a message waits for its OK before what follows) and passes the
// user's typing and clicks on. It decides nothing itself.
"use strict";

const page = {
    window: document.getElementById("window"),
    frame: document.getElementById("frame"),
    dialog: document.getElementById("message"),
    notice: document.getElementById("notice"),
    elements: [],
    report: null,
    reportLinesShown: 0,
    queue: Promise.resolve(),
};

// The browser's language gives the decimal separator and the short date.
function locale() {
    const language = navigator.language || "pt-BR";
    const separator = (1.5).toLocaleString(language).charAt(1);
    const shortDate = new Intl.DateTimeFormat(language, { dateStyle: "short" }).format(new Date());
    return { separator: separator === "," ? "," : ".", shortDate };
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
    default:
        element = document.createElement("textarea");
        element.setAttribute("aria-label", control.name);
        element.wrap = "soft";
        page.report = element;
    }
    element.id = id;
    element.classList.add("control");
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
    } else if (element === page.report) {
        element.readOnly = state.readOnly;
        syncReport();
    } else
        element.textContent = state.text;
    element.classList.remove("red", "blue", "green");
    if (["red", "blue", "green"].includes(state.colour))
        element.classList.add(state.colour);
    element.style.fontSize = `${state.fontPoints}pt`;
    element.style.left = `${state.left}px`;
    element.style.top = `${state.top}px`;
    if (state.width > 0) {
        element.style.width = `${state.width}px`;
        element.style.height = `${state.height}px`;
    }
    element.hidden = state.hidden;
}

// The report is brought up to date when it is looked at.
function syncReport() {
    const count = page.win.reportLineCount();
    const lines = [];
    for (let i = page.reportLinesShown; i < count; ++i)
        lines.push(page.win.reportLine(i));
    if (lines.length > 0)
        page.report.value += (page.reportLinesShown > 0 ? "\n" : "") + lines.join("\n");
    page.reportLinesShown = count;
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
        await navigator.clipboard.writeText(page.win.reportText());
        return true;
    } catch (refused) {
        return false;
    }
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
        case "copyReport":
            await play(page.win.reportCopied(await copyReport()));
            break;
        case "selectReport":
            syncReport();
            page.report.select();
            break;
        case "close":
            // A page cannot close itself: it shows the report that is now on
            // the clipboard, and says so.
            await play(page.win.press(page.listar));
            page.notice.textContent = "O relatório foi copiado para o clipboard. A página não se fecha sozinha: "
                + "o relatório continua aqui, e \u201cVoltar\u201d leva de volta aos painéis.";
            page.notice.hidden = false;
            break;
        }
    }
}

// Events are taken in order; a message holds the next until its OK.
function whenFree(event) {
    page.queue = page.queue.then(() => play(event())).catch((failure) => showMessage(String(failure)));
}

function fitToScreen(width, height) {
    const margin = parseFloat(getComputedStyle(page.frame).marginLeft);
    const room = document.documentElement.clientWidth - 2 * margin;
    const scale = Math.min(1, room / width);
    page.window.style.transform = scale < 1 ? `scale(${scale})` : "";
    page.window.style.transformOrigin = "0 0";
    page.frame.style.width = `${width * scale}px`;
    page.frame.style.height = `${height * scale}px`;
}

function build(module) {
    const layout = module.layout();
    const { separator, shortDate } = locale();
    page.win = new module.Window(separator, shortDate);
    page.listar = layout.listar;
    document.title = layout.title;
    page.window.style.fontFamily = `"${layout.fontFamily}", Arial, sans-serif`;
    page.window.style.width = `${layout.width}px`;
    page.window.style.height = `${layout.height}px`;
    const controls = layout.controls;
    page.elements = controls.map(createElement);
    const parentOf = (c) => (c.parent >= 0 ? page.elements[c.parent] : page.window);
    // In the page's order, which is the Tab order: panels, then the
    // controls that take the focus, then the rest.
    const order = controls.map((c, i) => i).filter((i) => controls[i].kind === "panel")
        .concat(layout.tabOrder, controls.map((c, i) => i));
    for (const i of new Set(order))
        parentOf(controls[i]).append(page.elements[i]);
    controls.forEach((c, i) => {
        if (c.labelFor >= 0)
            page.elements[i].htmlFor = controls[c.labelFor].objectName;
        if (c.kind === "button")
            page.elements[i].addEventListener("click", () => whenFree(() => page.win.press(i)));
        if (c.kind === "entry") {
            page.elements[i].addEventListener("input", (e) => {
                const text = e.target.value;
                whenFree(() => page.win.edit(i, text));
            });
        }
        render(i, c.start);
    });
    page.elements[layout.tabOrder[0]].focus();
    fitToScreen(layout.width, layout.height);
    window.addEventListener("resize", () => fitToScreen(layout.width, layout.height));
    page.window.removeAttribute("aria-busy");
    // Interactive once the texts are drawn in the window's own font.
    document.fonts.ready.then(() => {
        document.documentElement.dataset.ready = String(performance.now());
    });
}

// A browser without WebAssembly, or a first visit that lost the network on
// the way, gets a message instead of an empty page.
new Promise((resolve) => resolve(Quorvane())).then(build).catch(() => {
    page.notice.textContent = "Não foi possível carregar o Quorvane neste navegador. Recarregue a página com a rede "
        + "ligada ou use um navegador atualizado.";
    page.notice.hidden = false;
    page.window.removeAttribute("aria-busy");
});
if ("serviceWorker" in navigator)
    navigator.serviceWorker.register("sw.js");
