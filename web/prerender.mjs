// Draws the page's HTML at build time: the window as it starts, every
// control an element in the place the behaviour gives it, from the built
// module run under node, so that a phone on a slow network sees the window
// before the WebAssembly has arrived. Until the module takes them over, the
// entries and buttons are disabled, and a tab holding a session hides the
// window rather than show it as it starts.
// Usage: node prerender.mjs MODULE_JS TEMPLATE OUTPUT
import { readFile, writeFile } from "node:fs/promises";
import { createRequire } from "node:module";
import { resolve } from "node:path";

const [moduleJs, template, output] = process.argv.slice(2);
// Around the window, at the window's width.
const MARGIN = 20;

const escaped = (text) => String(text).replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
const attributes = (map) => Object.entries(map).filter(([, v]) => v !== false && v !== undefined)
    .map(([k, v]) => (v === true ? ` ${k}` : ` ${k}="${escaped(v)}"`)).join("");

// A vector from the module, as an array; the module's copy is freed.
function taken(vector) {
    const items = Array.from({ length: vector.size() }, (_, i) => vector.get(i));
    vector.delete();
    return items;
}

// The look of a control's state, and where it stands on a phone: panels
// and the report in one column, the rest on the lines of its panel (the
// panel's title takes the first).
function style(control, state, colours, gridColumns, none) {
    const s = state.place;
    const rules = [`color:${colours[state.colour.value]}`, `--points:${state.fontPoints}`, `--left:${s.left}px`,
        `--top:${s.top}px`, `--width:${s.width > 0 ? `${s.width}px` : "auto"}`,
        `--height:${s.width > 0 ? `${s.height}px` : "auto"}`];
    if (control.parent === none)
        rules.push(`order:${control.phone.line}`);
    else {
        const span = gridColumns / control.phone.columns;
        rules.push(`grid-row:${control.phone.line + 2}`,
            `grid-column:${span * control.phone.column + 1} / span ${span}`);
    }
    return rules.join(";");
}

// An element's opening tag, text and closing tag, around its children.
function element(control, index, all, kinds, look) {
    const id = control.objectName;
    const state = control.start;
    const common = { id, class: "control", "data-control": index, style: look, hidden: state.hidden };
    switch (control.kind) {
    case kinds.panel:
        return [`<section${attributes({ ...common, class: "panel control", "aria-labelledby": `${id}-title` })}>`
            + `<div class="frame"></div><h2 class="title" id="${escaped(id)}-title">${escaped(state.text)}</h2>`, "</section>"];
    case kinds.entry:
    case kinds.result: {
        const entry = control.kind === kinds.entry;
        return [`<input${attributes({ ...common, type: "text", autocomplete: "off", spellcheck: "false",
            inputmode: control.numeric ? "decimal" : undefined, "aria-label": entry ? undefined : control.name,
            "data-entry": entry ? "" : undefined, value: state.text, readonly: state.readOnly,
            disabled: entry })}>`, ""];
    }
    case kinds.label: {
        const labelled = control.labelFor < all.length;
        const tag = labelled ? "label" : "span";
        return [`<${tag}${attributes({ ...common, for: labelled ? all[control.labelFor].objectName : undefined })}>`
            + escaped(state.text), `</${tag}>`];
    }
    case kinds.button:
        return [`<button${attributes({ ...common, type: "button", disabled: true })}>${escaped(state.text)}`, "</button>"];
    case kinds.report:
        return [`<textarea${attributes({ ...common, "aria-label": control.name, readonly: state.readOnly,
            autocomplete: "off" })}>`,
            "</textarea>"];
    default:
        throw new Error(`no element for a control of kind "${control.kind && control.kind.value}"`);
    }
}

// What runs before the module: the window's arrangement for the screen
// (where the window and its margins do not fit, the controls stand in one
// column, as a phone shows them), and a kept session hidden until drawn.
function beforeModule(width, sessionKey) {
    return `(function () {
var root = document.documentElement, wide = matchMedia("(min-width: ${width + 2 * MARGIN}px)");
var fit = function () { root.classList.toggle("phone", !wide.matches); };
fit();
wide.addEventListener("change", fit);
try { if (sessionStorage.getItem(${JSON.stringify(sessionKey)}) !== null) root.classList.add("resuming"); } catch (e) {}
})();`;
}

const Quorvane = createRequire(import.meta.url)(resolve(moduleJs));
// Without fetch, which cannot take a path, the module reads its wasm from disk.
delete globalThis.fetch;
const module = await Quorvane();
const layout = module.layout();
const controls = taken(layout.controls);
const tabOrder = taken(layout.tabOrder);
const colours = taken(layout.colours);
const none = 2 ** 32 - 1;  // no control: the window's own
const gcd = (a, b) => (b ? gcd(b, a % b) : a);
const gridColumns = controls.reduce((n, c) => (n * c.phone.columns) / gcd(n, c.phone.columns), 1);
// In the page's order, which is the Tab order: panels, then the controls
// that take the focus, then the rest.
const order = [...new Set(controls.map((c, i) => i).filter((i) => controls[i].kind === module.Kind.panel)
    .concat(tabOrder, controls.map((c, i) => i)))];
const drawn = (parent) => order.filter((i) => controls[i].parent === parent).map((i) => {
    const [open, close] = element(controls[i], i, controls, module.Kind,
        style(controls[i], controls[i].start, colours, gridColumns, none));
    return open + drawn(i) + close;
}).join("");
const rootStyle = [`--font:"${layout.fontFamily}", Arial, sans-serif`, `--window-width:${layout.width}px`,
    `--margin:${MARGIN}px`, `--window-height:${layout.height}px`, `--font-points:${layout.fontPoints}`,
    `--window-colour:${layout.windowColour}`, `--base-colour:${layout.baseColour}`,
    `--highlight-colour:${layout.highlightColour}`, `--grid-columns:${gridColumns}`].join(";");
const fill = { ROOT_STYLE: escaped(rootStyle), TITLE: escaped(layout.title), COLOURS: escaped(JSON.stringify(colours)),
    BEFORE_MODULE: beforeModule(layout.width, layout.sessionKey), WINDOW: drawn(none) };
const html = (await readFile(template, "utf8")).replace(/\{\{(\w+)\}\}/g, (all, name) => {
    if (!(name in fill))
        throw new Error(`${template}: nothing to fill {{${name}}} with`);
    return fill[name];
});
await writeFile(output, html);
