// The page is a view of the window's behaviour, which runs as WebAssembly.
// Its HTML holds the window as it starts, drawn at build time; when the
// module arrives the page takes those elements over, plays each event's
// effects in order (a message waits for its OK before what follows) and
// passes the user's typing and clicks on, one call per event. The session
// is kept in the tab, as the behaviour says, so a reload goes on where the
// user was.
"use strict";

const page = {
    module: null,
    behaviour: null,  // the window's behaviour, from the WebAssembly
    window: document.getElementById("window"),  // the window as drawn
    dialog: document.getElementById("message"),
    notice: document.getElementById("notice"),
    share: document.getElementById("share"),
    elements: [],  // by the control's index
    colours: [],   // CSS, by the behaviour's colour
    report: document.getElementById("report"),
    queue: Promise.resolve(),
    playing: 0,  // focus moved meanwhile is the behaviour's, which knows it
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
    style.color = page.colours[state.colour.value];
    style.setProperty("--points", state.fontPoints);
    style.setProperty("--left", `${state.place.left}px`);
    style.setProperty("--top", `${state.place.top}px`);
    // A label takes its text's size.
    style.setProperty("--width", state.place.width > 0 ? `${state.place.width}px` : "auto");
    style.setProperty("--height", state.place.width > 0 ? `${state.place.height}px` : "auto");
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

async function copyReport(text) {
    try {
        await navigator.clipboard.writeText(text);
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

// A vector from the module, as an array; the module's copy is freed.
function taken(vector) {
    const items = Array.from({ length: vector.size() }, (_, i) => vector.get(i));
    vector.delete();
    return items;
}

// What the store must do after an event. A refused write keeps nothing, and
// the behaviour's notice says so; its effects are returned.
function keep(steps) {
    for (const step of steps) {
        try {
            if (step.kind === page.module.StoreStepKind.set)
                sessionStorage.setItem(step.key, step.text);
            else
                clearStored(step.key);
        } catch (refused) {
            const answer = page.behaviour.storeRefused();
            try {
                taken(answer.store).forEach((s) => clearStored(s.key));
            } catch (unavailable) {
                // nothing can be stored, nor anything be left to restore
            }
            return taken(answer.effects);
        }
    }
    return [];
}

// An event's answer: its effects, with the session kept as it leaves it.
function act(answer) {
    const effects = taken(answer.effects);
    return effects.concat(keep(taken(answer.store)));
}

async function play(effects) {
    const kinds = page.module.EffectKind;
    for (const effect of effects) {
        switch (effect.kind) {
        case kinds.change:
            render(effect.control, effect.state);
            break;
        case kinds.message:
            await showMessage(effect.text);
            break;
        case kinds.focus:
            page.elements[effect.control].focus();
            break;
        case kinds.copyReport: {
            const copied = await copyReport(effect.text);
            await play(act(page.behaviour.reportCopied(copied)));
            break;
        }
        case kinds.reportLines:
            page.report.value += (page.report.value ? "\n" : "") + effect.text;
            break;
        case kinds.selectReport:
            page.report.select();
            break;
        case kinds.notice:
            say(effect.text);
            break;
        case kinds.offerShare:
            // A browser that can send a text to another app (a phone's share sheet).
            if (navigator.share) {
                page.share.textContent = effect.text;
                page.share.hidden = false;
            }
            break;
        default:
            throw new Error(`no way to play an effect of kind "${effect.kind && effect.kind.value}"`);
        }
    }
}

// Events are taken in order, each one call into the module; a message
// holds the next until its OK. The root's data-busy counts the events not
// yet played to their end.
function whenFree(event) {
    const root = document.documentElement.dataset;
    root.busy = Number(root.busy || 0) + 1;
    page.queue = page.queue.then(() => {
        page.playing += 1;
        return play(act(event())).finally(() => { page.playing -= 1; });
    }).catch((failure) => showMessage(String(failure)))
        .finally(() => { root.busy = Number(root.busy) - 1; });
    return page.queue;
}

// Takes over the window the HTML holds, as it starts, and the session the
// tab keeps.
function build(module) {
    page.module = module;
    // As the HTML has them: a browser may have put back what a field held
    // before a reload, which the kept session draws again.
    for (const element of page.window.querySelectorAll("[data-control]")) {
        page.elements[Number(element.dataset.control)] = element;
        if ("defaultValue" in element)
            element.value = element.defaultValue;
    }
    page.colours = JSON.parse(page.window.dataset.colours);
    const { oneAndAHalf, shortDate } = locale();
    page.behaviour = new module.Window(oneAndAHalf, shortDate);
    page.elements.forEach((element, i) => {
        if (element instanceof HTMLButtonElement)
            element.addEventListener("click", () => whenFree(() => page.behaviour.press(i)));
        if (element.dataset.entry !== undefined) {
            element.addEventListener("input", (e) => {
                const text = e.target.value;
                whenFree(() => page.behaviour.edit(i, text));
            });
        }
    });
    // A cancelled share is no failure.
    page.share.addEventListener("click", () => navigator.share({ text: page.behaviour.reportText() }).catch(() => {}));
    // Where the user moves the focus, a reload puts it back.
    page.window.addEventListener("focusin", (e) => {
        const control = page.elements.indexOf(e.target);
        if (control >= 0 && !page.playing)
            whenFree(() => page.behaviour.focusMoved(control));
    });
    // The kept session is drawn before the browser paints again: its window
    // is never seen as it starts.
    whenFree(() => {
        for (const element of page.window.querySelectorAll(":disabled"))
            element.disabled = false;
        document.documentElement.classList.remove("resuming");
        page.window.removeAttribute("aria-busy");
        return page.behaviour.resume(stored);
    });
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

// The module once the window is painted in its font: a phone on a slow
// network sees the window first, its fetch not competing with the font's.
function loadModule() {
    return new Promise((resolve, reject) => {
        const script = Object.assign(document.createElement("script"), { src: "quorvane.js" });
        script.addEventListener("load", resolve);
        script.addEventListener("error", reject);
        document.head.append(script);
    });
}

// A browser without WebAssembly, or a first visit that lost the network on
// the way, gets a message instead of an empty page; a page that loaded but
// could not start says what failed.
document.fonts.ready.then(() => new Promise((painted) => requestAnimationFrame(() => setTimeout(painted))))
    .then(loadModule).then(() => Quorvane()).then((module) => {
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
// The worker fetches every file of the build: once the page has loaded.
if ("serviceWorker" in navigator)
    addEventListener("load", () => navigator.serviceWorker.register("sw.js").catch(() => {}));
