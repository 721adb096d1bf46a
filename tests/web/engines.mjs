// One small interface over Debian's three browser engines for the browser tests:
// Chromium over CDP and Firefox ESR over WebDriver BiDi (both via puppeteer-core),
// WebKitGTK's MiniBrowser over WebDriver classic (a small fetch client below).
//   const browser = await open("firefox", {language: "pt-BR", phone: false, clipboard: "granted"});
//   const page = await browser.page(); await page.goto(url); ...; await browser.close();
// Clipboard read-back: Chromium reads navigator.clipboard.readText() (clipboard-read
// granted for the moment when the test denied it); Firefox the same, allowed without a
// paste prompt by the test pref dom.events.testing.asyncClipboard; WebKit has no way in
// the page, so xclip reads GTK's clipboard off the browser's own Xvfb display.
import { execFile, spawn } from 'node:child_process';
import { access, mkdir, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';
import puppeteer from 'puppeteer-core';

const LIMIT = 30000; // ms: every wait below gives up after this, so a hung browser fails the call
const PHONE = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const DESK = { width: 1280, height: 800, deviceScaleFactor: 1, isMobile: false, hasTouch: false };
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const run = promisify(execFile);

// Rejects when the promise has not settled in time.
function limit(promise, what, ms = LIMIT) {
  let timer;
  const late = new Promise((_, reject) => { timer = setTimeout(() => reject(new Error(`${what}: no answer in ${ms} ms`)), ms); });
  return Promise.race([promise, late]).finally(() => clearTimeout(timer));
}

// The same object with each method's promise time-limited.
function limited(obj, name) {
  for (const [key, fn] of Object.entries(obj))
    if (typeof fn === 'function') obj[key] = (...a) => limit(Promise.resolve().then(() => fn(...a)), `${name}.${key}`);
  return obj;
}

// WebDriver-style script bodies (arguments[i]) as an expression puppeteer can evaluate.
const call = (source, args) => `(function () {\n${source}\n}).apply(null, ${JSON.stringify(args)})`;
const callAsync = (source, args) => `new Promise((done) => (function () {\n${source}\n}).apply(null, ${JSON.stringify(args)}.concat([done])))`;
// Scrolls the element into view and gives its centre in viewport CSS px, once it stands still inside the
// viewport for a frame: Firefox now and then lands the scroll a frame late. At most 60 frames.
const CENTRE = `const e = document.getElementById(arguments[0]); if (!e) throw new Error('no element #' + arguments[0]);
e.scrollIntoView({block: 'center', inline: 'center'});
return new Promise((done) => { let last = null, frames = 0;
  const look = () => { const r = e.getBoundingClientRect();
    const at = {x: Math.round(r.left + r.width / 2), y: Math.round(r.top + r.height / 2)};
    const inside = at.x >= 0 && at.y >= 0 && at.x < innerWidth && at.y < innerHeight;
    if ((inside && last && last.x === at.x && last.y === at.y) || ++frames > 60) return done(at);
    if (!inside) e.scrollIntoView({block: 'center', inline: 'center'});
    last = at; requestAnimationFrame(look); };
  requestAnimationFrame(look); });`;

export async function open(engine, { language = 'en-US', phone = false, clipboard = 'granted' } = {}) {
  if (!['chromium', 'firefox', 'webkit'].includes(engine)) throw new Error(`unknown engine ${engine}`);
  if (language === 'C' && engine !== 'webkit') throw new Error('language "C" is a WebKit (process locale) case only');
  const dir = await mkdtemp(join(tmpdir(), `engines-${engine}-`));
  const clean = () => rm(dir, { recursive: true, force: true, maxRetries: 5 });
  const starting = engine === 'webkit' ? openWebKit(dir, language, phone) : openPuppeteer(engine, dir, language, phone, clipboard);
  let browser;
  try {
    browser = await limit(starting, `open ${engine}`, 60000);
  } catch (error) { // a browser that starts after all is closed then
    starting.then((b) => b.close(), () => {}).finally(clean);
    throw error;
  }
  const close = browser.close;
  browser.close = () => close().finally(clean);
  return browser;
}

async function openPuppeteer(engine, dir, language, phone, clipboard) {
  const chromium = engine === 'chromium';
  if (chromium) // the intl.accept_languages pref, read from the new profile
    await mkdir(join(dir, 'Default'), { recursive: true }).then(() => writeFile(join(dir, 'Default', 'Preferences'), JSON.stringify({ intl: { accept_languages: language } })));
  const b = await puppeteer.launch(chromium ? {
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: dir, timeout: LIMIT, protocolTimeout: LIMIT,
    // Root needs --no-sandbox; the rest stop connections the closed network refuses.
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--lang=${language}`, `--accept-lang=${language}`],
  } : {
    browser: 'firefox', protocol: 'webDriverBiDi', executablePath: '/usr/bin/firefox-esr', headless: true,
    userDataDir: dir, timeout: LIMIT, protocolTimeout: LIMIT,
    extraPrefsFirefox: {
      // navigator.language(s); Intl's default stays en-US, the only UI locale Debian's firefox-esr ships.
      'intl.accept_languages': language, 'intl.locale.requested': language,
      'dom.events.testing.asyncClipboard': true, // readText() without the paste prompt, for clipboard()
      'ui.useOverlayScrollbars': 1, // scrollbars take no width, as in headless Chromium
      // A phone's touch as pages detect it (BiDi's touch override is not in Firefox 153).
      'dom.w3c_touch_events.enabled': phone ? 1 : 2, 'dom.w3c_touch_events.legacy_apis.enabled': phone, 'dom.maxtouchpoints.testing.value': phone ? 5 : 0,
      'ui.primaryPointerCapabilities': phone ? 1 : 6, 'ui.allPointerCapabilities': phone ? 1 : 6,
      'app.update.enabled': false, 'network.captive-portal-service.enabled': false,
      'network.connectivity-service.enabled': false, 'browser.safebrowsing.update.enabled': false,
      'toolkit.telemetry.enabled': false, 'network.dns.disablePrefetch': true, 'extensions.blocklist.enabled': false,
      'browser.region.network.url': '', 'browser.topsites.contile.enabled': false, 'network.prefetch-next': false,
    },
  });
  // Firefox: real touch actions, preload scripts and offline over BiDi, but no clipboard permission to deny.
  // Firefox 153's touch over BiDi did not always reach an entry in our runs: there a tap is a click.
  const can = { touch: chromium, permissions: chromium, injectScripts: true, clipboardRead: true, offline: true };
  const denied = clipboard === 'denied';
  // The clipboard permissions for every origin of a context (Chromium: CDP Browser.setPermission).
  const allow = (ctx, read, write) => ctx.setPermission('*', { permission: { name: 'clipboard-read' }, state: read ? 'granted' : 'denied' },
    { permission: { name: 'clipboard-write' }, state: write ? 'granted' : 'denied' });

  // A tab of the context; the one page() made closes its whole context (its newTabs too).
  async function makePage(ctx, scripts, owner) {
    const p = await ctx.newPage();
    p.setDefaultTimeout(LIMIT);
    p.setDefaultNavigationTimeout(LIMIT);
    // Firefox through BiDi's own command: puppeteer's also overrides the screen's orientation, which Firefox 140 lacks.
    let viewport = phone ? PHONE : DESK;
    const size = (v) => (chromium ? p.setViewport(v)
      : p.mainFrame().browsingContext.setViewport({ viewport: { width: v.width, height: v.height }, devicePixelRatio: v.deviceScaleFactor }));
    await size(viewport);
    if (chromium) // Intl's default locale; headless Chromium keeps en-US whatever --lang says
      await (await p.createCDPSession()).send('Emulation.setLocaleOverride', { locale: language });
    for (const s of scripts) await p.evaluateOnNewDocument(s);
    const mine = [...scripts];
    const centre = (id) => p.evaluate(call(CENTRE, [id]));
    const page = {
      goto: async (url) => { await p.goto(url, { waitUntil: 'load' }); },
      reload: async () => { await p.reload({ waitUntil: 'load' }); },
      evaluate: async (source, ...args) => (await p.evaluate(call(source, args))) ?? null,
      evaluateAsync: async (source, ...args) => (await p.evaluate(callAsync(source, args))) ?? null,
      keys: async (...keys) => {
        for (const k of keys) {
          if (k === 'SelectAll') { // Chromium's synthetic Ctrl+A edits nothing without its editing command
            await p.keyboard.down('Control');
            await p.keyboard.press('a', chromium ? { commands: ['SelectAll'] } : {});
            await p.keyboard.up('Control');
          } else if (['Tab', 'Return', 'Backspace'].includes(k)) await p.keyboard.press(k === 'Return' ? 'Enter' : k);
          else await p.keyboard.type(k);
        }
      },
      click: async (id) => { const { x, y } = await centre(id); await p.mouse.click(x, y); },
      tap: async (id) => {
        const { x, y } = await centre(id);
        await (chromium ? p.touchscreen.tap(x, y) : p.mouse.click(x, y));
      },
      resize: async (width, height) => { // then two frames, so that the page's resize handlers have run
        viewport = { ...viewport, width, height };
        await size(viewport);
        await p.evaluate('new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))');
      },
      screenshot: async (path) => { await p.screenshot({ path, type: 'png' }); },
      newTab: () => makePage(ctx, mine, false), // the same context and init scripts; its own sessionStorage
      offline: async (on) => { await p.setOfflineMode(on); },
      addInitScript: async (source) => { mine.push(source); await p.evaluateOnNewDocument(source); },
      clipboard: async () => {
        await p.bringToFront(); // readText needs the focused document
        if (chromium && denied) await allow(ctx, true, false);
        try { return await p.evaluate('navigator.clipboard.readText()'); } finally { if (chromium && denied) await allow(ctx, false, false); }
      },
      close: async () => { await (owner ? ctx.close() : p.close()); },
    };
    return limited(page, `${engine} page`);
  }

  return limited({
    can,
    // A new context each time: fresh sessionStorage, localStorage, cookies and permissions.
    page: async () => {
      const ctx = await b.createBrowserContext();
      if (chromium) await allow(ctx, !denied, !denied);
      return makePage(ctx, [], true);
    },
    close: async () => { await limit(b.close(), `${engine} close`, 15000).catch(() => b.process()?.kill('SIGKILL')); },
  }, engine);
}

// A free TCP port on the loopback (closed again for the driver to take).
const freePort = () => new Promise((resolve, reject) => {
  const s = createServer().once('error', reject).listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => resolve(port)); });
});

async function openWebKit(dir, language, phone) {
  const procs = [];
  // Each process leads its own group (the driver's holds MiniBrowser and its helpers): kill the groups, await the leaders.
  const kill = () => limit(Promise.all(procs.map((p) => p.exitCode === null && p.signalCode === null && new Promise((resolve) => {
    p.once('exit', resolve);
    try { process.kill(-p.pid, 'SIGKILL'); } catch { resolve(); }
  }))), 'webkit processes exit', 5000).catch(() => {});
  try {
    // navigator.language is the process locale. "C" takes C.UTF-8, which WebKit turns into "C"
    // (plain LANG=C gives "en-US"); other locales are compiled into a private LOCPATH, beside Xvfb's start.
    const locale = language === 'C' ? 'C.UTF-8' : language.replace('-', '_') + '.UTF-8';
    const compiled = language === 'C' ? Promise.resolve() : (async () => {
      await mkdir(join(dir, 'locale'));
      await run('localedef', ['-c', '-i', locale.split('.')[0], '-f', 'UTF-8', join(dir, 'locale', locale)], { timeout: LIMIT }).catch(() => {});
      await access(join(dir, 'locale', locale, 'LC_CTYPE')).catch(() => { throw new Error(`localedef could not make ${locale} (is Debian's locales package installed?)`); });
    })();
    compiled.catch(() => {}); // awaited below, unless Xvfb fails first
    // MiniBrowser needs X: a private Xvfb, which names its free display on fd 3.
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1600x1200x24', '-nolisten', 'tcp'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'], detached: true });
    procs.push(xvfb);
    const display = ':' + await limit(new Promise((resolve, reject) => {
      xvfb.stdio[3].on('data', (d) => resolve(String(d).trim()));
      xvfb.once('exit', (code) => reject(new Error(`Xvfb exited ${code}`)));
    }), 'Xvfb start');
    await compiled;
    // The toolbar's minimum width (447 px) would stop a 390 px window: shrink it with GTK's user CSS.
    await mkdir(join(dir, 'gtk-3.0'));
    await writeFile(join(dir, 'gtk-3.0', 'gtk.css'), 'button, entry { min-width: 0; min-height: 0; padding: 0; margin: 0; border-width: 0; font-size: 1px; }\n');
    const env = { ...process.env, DISPLAY: display, LANG: locale, LC_ALL: locale, LOCPATH: join(dir, 'locale'), XDG_CONFIG_HOME: dir,
      XDG_CACHE_HOME: join(dir, 'cache'), MESA_SHADER_CACHE_DISABLE: 'true', XDG_DATA_HOME: join(dir, 'data'), WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS: '1' }; // test only: no bubblewrap, which fails where user namespaces are off
    delete env.LANGUAGE;
    const port = await freePort();
    procs.push(spawn('WebKitWebDriver', [`--port=${port}`], { env, stdio: 'ignore', detached: true }));
    const base = `http://127.0.0.1:${port}`;
    const wd = async (method, path, body) => {
      const r = await fetch(base + path, { method, headers: { 'content-type': 'application/json' }, body: method === 'POST' ? JSON.stringify(body ?? {}) : undefined, signal: AbortSignal.timeout(LIMIT) });
      const { value } = await r.json();
      if (value && value.error) throw new Error(`WebKitWebDriver ${method} ${path}: ${value.error}: ${value.message}`);
      return value;
    };
    await limit((async () => { // the driver is up once it answers /status
      for (;;) { if (await wd('GET', '/status').then((v) => v.ready, () => false)) return; await new Promise((r) => setTimeout(r, 100)); }
    })(), 'WebKitWebDriver start');
    const { sessionId } = await wd('POST', '/session', { capabilities: { alwaysMatch: { browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] }, timeouts: { script: LIMIT - 5000, pageLoad: LIMIT - 5000, implicit: 0 } } } });
    const S = (method, path, body) => wd(method, `/session/${sessionId}${path}`, body);
    // One session, one current window: commands are queued and switch to their page's window first.
    const keeper = await S('GET', '/window');
    let chain = Promise.resolve(), current = keeper;
    const queued = (handle, fn) => {
      const next = chain.then(async () => { if (current !== handle) { await S('POST', '/window', { handle }); current = handle; } return fn(); });
      chain = next.catch(() => {});
      return next;
    };
    const js = (source, args = []) => S('POST', '/execute/sync', { script: source, args });
    // Resizes the window until the page's clientWidth x innerHeight is the asked size: the chrome
    // (toolbar, any scrollbar) is measured, and a read may still see the old size, so it converges.
    let chrome = [0, 0];
    const size = async (width, height) => {
      for (let i = 0; i < 20; i++) {
        await S('POST', '/window/rect', { width: width + chrome[0], height: height + chrome[1] });
        const [w, h] = await S('POST', '/execute/async', { script: 'setTimeout(() => arguments[0]([document.documentElement.clientWidth, innerHeight]), 50)', args: [] });
        if (w === width && h === height) return;
        chrome = [chrome[0] + width - w, chrome[1] + height - h];
      }
      throw new Error(`webkit: the page would not take ${width}x${height}`);
    };
    const actions = async (list) => { await S('POST', '/actions', { actions: [list] }); await S('DELETE', '/actions'); };
    const KEY = { Tab: '\uE004', Return: '\uE006', Backspace: '\uE003' };
    const press = (k) => [{ type: 'keyDown', value: k }, { type: 'keyUp', value: k }];
    const xclip = () => run('xclip', ['-selection', 'clipboard', '-o', '-t', 'UTF8_STRING'], { env: { ...process.env, DISPLAY: display }, timeout: 5000 })
      .then((r) => r.stdout, () => ''); // nothing on the clipboard yet
    const { width, height } = phone ? PHONE : DESK;

    // The first window stays blank: closing a session's last window would end the session.
    async function makePage() {
      const { handle } = await queued(current, () => S('POST', '/window/new', { type: 'window' }));
      const on = (fn) => queued(handle, fn);
      await on(() => size(width, height));
      // At the element itself, scrolled into view first: a centre measured by the page may move under a scroll.
      // WebKitGTK's driver now and then finds the element it was just scrolled to out of bounds: scroll and try again once.
      const click = (id) => on(async () => {
        for (let attempt = 0; ; ++attempt) {
          await js(CENTRE, [id]);
          const element = await S('POST', '/element', { using: 'css selector', value: `#${id}` });
          try {
            return await actions({ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' },
              actions: [{ type: 'pointerMove', x: 0, y: 0, origin: element, duration: 0 }, { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] });
          } catch (error) {
            if (attempt > 0 || !String(error.message).includes('out of bounds')) throw error;
          }
        }
      });
      return limited({
        goto: (url) => on(async () => { await S('POST', '/url', { url }); }),
        reload: () => on(async () => { await S('POST', '/refresh'); }),
        evaluate: (source, ...args) => on(() => js(source, args)),
        evaluateAsync: (source, ...args) => on(() => S('POST', '/execute/async', { script: source, args })),
        keys: (...keys) => on(() => actions({ type: 'key', id: 'keyboard', actions: keys.flatMap((k) => k === 'SelectAll'
          ? [{ type: 'keyDown', value: '\uE009' }, ...press('a'), { type: 'keyUp', value: '\uE009' }]
          : KEY[k] ? press(KEY[k]) : [...k].flatMap(press)) })),
        click,
        tap: click, // WebKitGTK's driver turns touch actions into mouse events
        resize: (w, h) => on(() => size(w, h)),
        screenshot: (path) => on(async () => { await writeFile(path, Buffer.from(await S('GET', '/screenshot'), 'base64')); }),
        newTab: makePage, // a new window of the same session: its own sessionStorage
        offline: async () => { throw new Error('offline: not supported by WebKitWebDriver'); },
        addInitScript: async () => { throw new Error('addInitScript: not supported by WebKitWebDriver'); },
        clipboard: () => on(xclip), // GTK's clipboard on this Xvfb, read by xclip
        close: () => on(async () => { await S('DELETE', '/window'); await S('POST', '/window', { handle: keeper }); current = keeper; }),
      }, 'webkit page');
    }

    return limited({
      // WebDriver classic has no touch here, no permissions, no init scripts and no network emulation.
      can: { touch: false, permissions: false, injectScripts: false, clipboardRead: true, offline: false },
      page: makePage,
      // The session ended politely if it can be, then the processes killed whatever happened.
      close: async () => { await limit(chain.then(() => S('DELETE', '')), 'webkit session end', 10000).catch(() => {}); await kill(); },
    }, 'webkit');
  } catch (error) {
    await kill();
    throw error;
  }
}
