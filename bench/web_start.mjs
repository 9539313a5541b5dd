// Times a cold first visit to the browser edition on a phone's link and CPU, against a floor page of HTML and CSS alone.
//
// usage: node bench/web_start.mjs [SITE_DIR] [VISITS] [--trace] [--beside OTHER_SITE_DIR]
//        (SITE_DIR: build/web/site, from cmake --workflow --preset web)
//
// The floor is the built site's own index.html and page.css with every
// script and preload taken out and the level menu in its log (drawn as the
// page's script would let it be): the page as fast as HTML and CSS make it.
// Beside them, a bare page: the floor with one listener, which draws a
// line as soon as it gets a ⏎, so that no page could answer sooner: its
// settings and its idle answer, timed as the page's, are the least any page
// could take on this machine.  The three take turns, VISITS each (10 by
// default), each visit a new context with nothing cached, served
// gzip-compressed, on Lighthouse's mobile profile as DevTools applies it (a
// round trip of 150 ms, 1.6 Mbit/s down, 750 kbit/s up, the CPU slowed 4
// times), on a Pixel 7.  Each time is that of the first frame whose visible
// text shows it (a requestAnimationFrame callback), from the navigation's
// start: the level prompt; then, 1 and ⏎
// tapped by touch at their places the instant the prompt's frame is drawn,
// the settings, and when the page got the ⏎ as a click (the floor is tapped
// so too: when it gets the ⏎ is what the browser alone takes to bring taps
// in); then, the game idle, the answer to ⏎ after a digit, from the key's
// touch.  The bytes are those of the page's own requests, as sent.  Last,
// the run under way is reloaded, and every frame until it is back is looked
// at for anything but nothing or the run's own screen.  With --trace, one
// more visit of each is traced, its times on the page's clock: when each
// file came, and the main thread's work until the prompt is drawn, and for
// the page, 1 and ⏎ tapped then, when the wasm's compile began, when it was
// instantiated and the ⏎ got, and the work from the prompt until the
// settings are drawn.  With --beside, a variant of the site (a patched copy,
// say) takes its turn in every round too, visited as the page is, and the
// two are compared round by round: the medians of each round's ratios to
// its floor, and of the differences between the two.  Then Lighthouse's
// mobile audit of SITE_DIR.

import {spawnSync} from 'node:child_process';
import {createHash} from 'node:crypto';
import {cpSync, mkdtempSync, readFileSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {parseArgs} from 'node:util';

import {openBrowser} from '../tests/web/drivers.mjs';
import {serveSite} from '../tests/web/site_server.mjs';

const {values: {trace, beside: besideDir}, positionals: [siteDir = 'build/web/site', visits = '10']} =
    parseArgs({allowPositionals: true, options: {trace: {type: 'boolean'}, beside: {type: 'string'}}});
const VISITS = Number(visits);
const NETWORK = {offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8};
const CPU_SLOWDOWN = 4;
const MENU = '難易度を選択してください。-1で終了\npractice:0 easy:1 normal:2 hard:3 \n難易度:';
const SETTINGS = '難易度  :easy';
const WAIT_MS = 20000;

// In the page from its start: each frame after the document changed, its
// visible text is kept (frames_.seen; its lines, as the blocks it is drawn
// in would break them into empty ones); frames_.first(text) resolves to the
// time of the first frame that shows `text`; the frame that first shows the
// menu tells the bench at once (promptShown); clicks are noted, each with
// the time of its touch and the time the page got it.
const WATCH = `window.frames_ = {seen: [], waiting: [], clicks: []};
    {
        let changed = true;
        new MutationObserver(() => { changed = true; })
            .observe(document, {childList: true, subtree: true, characterData: true, attributes: true});
        const frame = () => {
            if (changed) {
                changed = false;
                const text = (document.getElementById('transcript')?.innerText ?? '').replace(/\\n+/g, '\\n').trimEnd();
                frames_.seen.push({time: performance.now(), text});
                if (text.includes(${JSON.stringify(MENU)}) && !frames_.prompt) {
                    frames_.prompt = true;
                    globalThis.promptShown?.('');
                }
                frames_.waiting = frames_.waiting.filter(({want, resolve}) => !text.includes(want) || resolve(performance.now()));
            }
            requestAnimationFrame(frame);
        };
        requestAnimationFrame(frame);
        frames_.first = (want) => new Promise((resolve) => {
            const shown = frames_.seen.find(({text}) => text.includes(want));
            if (shown)
                resolve(shown.time);
            else
                frames_.waiting.push({want, resolve});
        });
        addEventListener('click', (event) => frames_.clicks.push({touched: event.timeStamp, got: performance.now()}), {capture: true});
    }`;

// The floor: the site with its page's scripts and preloads taken out, and the menu in the log, to be drawn.
function makeFloor(dir)
{
    const floor = mkdtempSync(join(tmpdir(), 'hitblow-floor-'));
    cpSync(dir, floor, {recursive: true});
    const page = join(floor, 'index.html');
    const html = readFileSync(page, 'utf8')
        .replace(/<script[^>]*>[\s\S]*?<\/script>\n?/g, '')
        .replace(/<link rel="preload"[^>]*>\n?/g, '')
        .replace(/(<div id="log"[^>]*>)(<\/div>)/, `$1<div>${MENU}</div>$2`)
        .replace('<html lang="ja">', '<html lang="ja" class="ready">');
    if (!html.includes(MENU) || /<script/.test(html))
        throw new Error('the floor page has no menu in its log, or a script');
    writeFileSync(page, html);
    return floor;
}

// The bare page's script: at the nth ⏎ it gets, it draws "SETTINGS n" at once.
function drawAtEnter(settings)
{
    let enters = 0;
    document.getElementById('keypad').addEventListener('click', (event) => {
        if (event.target.closest('.enter')) {
            const block = Object.assign(document.createElement('div'), {textContent: `\n${settings} ${++enters}\n`});
            document.getElementById('log').append(block);
        }
    });
}

// The floor with drawAtEnter, allowed by its hash.
function makeBare(floorDir)
{
    const bare = mkdtempSync(join(tmpdir(), 'hitblow-bare-'));
    cpSync(floorDir, bare, {recursive: true});
    const script = `(${drawAtEnter})(${JSON.stringify(SETTINGS)});`;
    const hash = `'sha256-${createHash('sha256').update(script).digest('base64')}'`;
    const page = join(bare, 'index.html');
    const html = readFileSync(page, 'utf8').replace(/'sha256-[^']*'/, hash).replace('</body>', `<script>${script}</script>\n</body>`);
    if (!html.includes(hash))
        throw new Error('the floor page\'s policy names no script by its hash');
    writeFileSync(page, html);
    return bare;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A fresh phone page on the mobile profile, the bytes of its requests counted; `prompt` resolves once its
// prompt's frame is drawn.
async function openPhone(browser)
{
    const page = await browser.newPage('Pixel 7');
    const cdp = await page.context.newCDPSession(page.page);
    const bytes = new Map();
    cdp.on('Network.loadingFinished', ({requestId, encodedDataLength}) => bytes.set(requestId, encodedDataLength));
    const prompt = new Promise((resolve) => cdp.on('Runtime.bindingCalled', resolve));
    await Promise.all(['Network.enable', 'Runtime.enable'].map((method) => cdp.send(method)));
    await cdp.send('Runtime.addBinding', {name: 'promptShown'});
    await cdp.send('Network.emulateNetworkConditions', NETWORK);
    await cdp.send('Emulation.setCPUThrottlingRate', {rate: CPU_SLOWDOWN});
    await page.page.addInitScript(WATCH);
    return {page, cdp, prompt, sent: () => [...bytes.values()].reduce((sum, n) => sum + n, 0)};
}

// Taps the keys at `places` by touch, each a touch down and up, all sent at once: the page takes each when it can.
function tap(cdp, places)
{
    return Promise.all(places.flatMap((place) => [
        cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [place]}),
        cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []})]));
}

// A fresh phone page at `url`, as openPhone gives it, with 1 and ⏎ tapped the instant its prompt's frame is drawn.
async function openTapped(browser, url, keys)
{
    const phone = await openPhone(browser);
    await phone.page.goto(url);
    await phone.prompt;
    await tap(phone.cdp, [keys['1'], keys['⏎ 入力']]);
    return phone;
}

// The time of the first frame that shows `text`, from the navigation's start; null where none does in time.
const firstFrame = (page, text) => page.evaluate(([want, wait]) => Promise.race([
    frames_.first(want), new Promise((resolve) => setTimeout(() => resolve(null), wait))]), [text, WAIT_MS]);

// The keypad's keys' centres, by their text, where they stand on a phone before any script has run.
async function keyPlaces(browser, url)
{
    const page = await browser.newPage('Pixel 7');
    await page.goto(url);
    const places = await page.evaluate(() => Object.fromEntries([...document.querySelectorAll('#keypad button')].map((key) => {
        const box = key.getBoundingClientRect();
        return [key.textContent.trim(), {x: box.x + box.width / 2, y: box.y + box.height / 2}];
    })));
    await page.close();
    return places;
}

// When the page got the `count`th click, waiting for it; Infinity where it does not come in time.
const clicked = (page, count) => page.evaluate(([count, wait]) => new Promise((resolve) => {
    const deadline = performance.now() + wait;
    const look = () => {
        if (frames_.clicks.length >= count)
            resolve(frames_.clicks[count - 1].got);
        else if (performance.now() > deadline)
            resolve(Infinity);
        else
            setTimeout(look, 20);
    };
    look();
}), [count, WAIT_MS]);

// One cold visit of the floor: its prompt's frame, and when 1 and ⏎ tapped as it is drawn reach the page as
// clicks: what the browser alone takes to bring a tap in.
async function visitFloor(browser, url, keys)
{
    const {page, cdp} = await openTapped(browser, url, keys);
    const prompt = await firstFrame(page, MENU);
    const taps = await clicked(page, 2) - prompt;
    await cdp.detach();
    await page.close();
    return {prompt, taps};
}

// The page idle, a second after it was last busy: from the touch of ⏎ after a digit to the frame that shows `text`;
// null where none does in time.
async function idleAnswer(page, cdp, keys, text)
{
    await new Promise((resolve) => setTimeout(resolve, 1000)); // the game idle, the last block heard long ago
    await tap(cdp, [keys['0']]);
    await new Promise((resolve) => setTimeout(resolve, 300));
    await tap(cdp, [keys['⏎ 入力']]);
    const shown = await firstFrame(page, text);
    return shown === null ? null : shown - await page.evaluate(() => frames_.clicks[frames_.clicks.length - 1].touched);
}

// One cold visit of the bare page: its settings, after 1 and ⏎ tapped as its prompt is drawn, and an idle answer.
async function visitBare(browser, url, keys)
{
    const {page, cdp} = await openTapped(browser, url, keys);
    const settings = await firstFrame(page, SETTINGS);
    const answer = await idleAnswer(page, cdp, keys, `${SETTINGS} 2`);
    await cdp.detach();
    await page.close();
    return {settings, answer};
}

// One cold visit of the page: the prompt; the settings after 1 and ⏎ tapped as the prompt is drawn, when the ⏎
// reached the page and how many times the page took them; an idle answer, from the key's touch; the bytes; and the
// frames of a reload of the run under way that showed neither nothing nor the run.
async function visitPage(browser, url, keys)
{
    const {page, cdp, sent} = await openTapped(browser, url, keys);
    const [prompt, settings] = [await firstFrame(page, MENU), await firstFrame(page, SETTINGS)];
    const taps = await clicked(page, 2) - prompt;
    await firstFrame(page, '1つ目の数字:');
    const taken = await page.evaluate(() => document.getElementById('transcript').textContent.split('難易度:1\n').length - 1);
    const answer = await idleAnswer(page, cdp, keys, '2つ目の数字:');
    const bytes = sent();
    const screen = await page.evaluate(() => frames_.seen[frames_.seen.length - 1].text);
    await page.reload();
    await firstFrame(page, screen);
    const stray = await page.evaluate((whole) => frames_.seen.filter(({text}) => text !== "" && text !== whole).length, screen);
    await cdp.detach();
    await page.close();
    return {prompt, settings, taps, taken, answer, bytes, stray};
}

// One traced visit: when each file came, when the prompt was drawn, and the main thread's work until then, in ms;
// with `keys`, 1 and ⏎ tapped as the prompt is drawn: when the wasm's compile began, when it was instantiated
// and the ⏎ got, and the work from the prompt until the settings are drawn.
async function traceVisit(browser, url, keys = null)
{
    const {page, cdp, prompt: drawn} = await openPhone(browser);
    const events = [];
    cdp.on('Tracing.dataCollected', ({value}) => events.push(...value));
    const done = new Promise((resolve) => cdp.on('Tracing.tracingComplete', resolve));
    await cdp.send('Tracing.start', {categories: 'devtools.timeline,v8,v8.wasm,disabled-by-default-devtools.timeline,blink.user_timing',
                                     transferMode: 'ReportEvents'});
    await page.goto(url);
    await drawn;
    if (keys !== null)
        await tap(cdp, [keys['1'], keys['⏎ 入力']]);
    const prompt = await firstFrame(page, MENU);
    const settings = keys === null ? null : await firstFrame(page, SETTINGS);
    const files = await page.evaluate(() => [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')]
        .map(({name, responseEnd}) => `${name.split('/').pop() || 'index.html'} ${responseEnd.toFixed(0)}`));
    const got = keys === null ? null : await clicked(page, 2);
    const mark = await page.evaluate(() => performance.mark('hitblow-bench').startTime); // the page's clock in the trace's
    await cdp.send('Tracing.end');
    await done;
    await cdp.detach();
    await page.close();
    // The renderer's main thread is the one that parsed the page; its work is summed by kind, and its time
    // is the page's own, from the navigation's start, as the mark made in both says.
    const parse = events.find(({name, args}) => name === 'ParseHTML' && String(args?.beginData?.url).startsWith(url));
    const start = events.find(({name}) => name === 'hitblow-bench').ts - mark * 1000;
    const at = (ts) => (ts - start) / 1000;
    const tasks = events.filter(({name, ph, pid, tid}) => name === 'RunTask' && ph === 'X' && pid === parse.pid && tid === parse.tid)
        .sort((a, b) => a.ts - b.ts);
    const KINDS = {ParseHTML: 'parsing HTML', EvaluateScript: 'scripts', FunctionCall: 'scripts', TimerFire: 'scripts',
                   EventDispatch: 'scripts', 'v8.compile': 'compiling scripts', 'v8.wasm.compileConsume': 'compiling wasm',
                   'wasm.CompileLazy': 'compiling wasm', UpdateLayoutTree: 'style', Layout: 'layout', Paint: 'paint'};
    const work = (from, to) => {
        const sums = {};
        for (const {name, ph, dur, pid, tid, ts} of events) {
            if (ph === 'X' && pid === parse.pid && tid === parse.tid && KINDS[name] && at(ts) >= from && at(ts) < to)
                sums[KINDS[name]] = (sums[KINDS[name]] || 0) + dur / 1000;
        }
        // Busy: the union of its tasks, as each may hold others.
        let busy = 0;
        let end = from;
        for (const {ts, dur} of tasks) {
            if (at(ts + dur) > end && at(ts) < to) {
                busy += Math.min(at(ts + dur), to) - Math.max(at(ts), end);
                end = Math.min(at(ts + dur), to);
            }
        }
        return `busy ${busy.toFixed(0)} of ${(to - from).toFixed(0)}: ` +
            Object.entries(sums).map(([kind, ms]) => `${kind} ${ms.toFixed(0)}`).join(', ');
    };
    const first = (names) => {
        const found = events.find(({name}) => names.includes(name));
        return found ? at(found.ts).toFixed(0) : '?';
    };
    let said = `files came (ms): ${files.join(', ')}; the prompt drawn at ${prompt.toFixed(0)} ms\n` +
        `  main thread until then (ms, nested work counted in each): ${work(0, prompt)}`;
    if (settings !== null) {
        said += `\n  the wasm's compile begun at ${first(['wasm.StartStreamingCompilation', 'wasm.AsyncCompile'])} ms, ` +
            `the wasm instantiated at ${first(['wasm.SyncInstantiate'])} ms, the ⏎ got at ${got.toFixed(0)} ms, the settings ` +
            `drawn at ${settings.toFixed(0)} ms; main thread from the prompt until then: ${work(prompt, settings)}`;
    }
    return said;
}

const floorDir = makeFloor(siteDir);
const [site, floor, bare, beside] = await Promise.all([siteDir, floorDir, makeBare(floorDir), besideDir]
    .map((dir) => dir && serveSite(dir, {gzip: true})));
const browser = await openBrowser('chromium');
const pages = [];
const floors = [];
const bares = [];
const besides = [];
const KINDS = ['page', 'floor', 'bare', ...(beside ? ['beside'] : [])];
try {
    const keys = await keyPlaces(browser, floor.url);
    for (let visit = 0; visit < VISITS; visit++) {
        // Turn about, each first in its own rounds.
        const first = visit % KINDS.length;
        for (const kind of [...KINDS.slice(first), ...KINDS.slice(0, first)]) {
            if (kind === 'page')
                pages.push(await visitPage(browser, site.url, keys));
            else if (kind === 'beside')
                besides.push(await visitPage(browser, beside.url, keys));
            else if (kind === 'floor')
                floors.push(await visitFloor(browser, floor.url, keys));
            else
                bares.push(await visitBare(browser, bare.url, keys));
        }
        const [p, f, b] = [pages[visit], floors[visit], bares[visit]];
        console.log(`visit ${visit + 1}: floor ${f.prompt?.toFixed(0)} ms (⏎ got ${f.taps.toFixed(0)} ms later); ` +
                    `bare page: settings ${b.settings?.toFixed(0) ?? 'never'} ms, an idle answer ${b.answer?.toFixed(1) ?? 'never'} ms; ` +
                    `page: prompt ${p.prompt?.toFixed(0)} ms (⏎ got ${p.taps.toFixed(0)} ms later), ` +
                    `settings ${p.settings?.toFixed(0) ?? 'never'} ms (1 and ⏎ taken ${p.taken} time(s)), an idle answer ` +
                    `${p.answer?.toFixed(1) ?? 'never'} ms, ${p.bytes} bytes, ${p.stray} stray frame(s) at a reload`);
        if (beside) {
            const o = besides[visit];
            console.log(`  beside: prompt ${o.prompt?.toFixed(0)} ms, settings ${o.settings?.toFixed(0) ?? 'never'} ms ` +
                        `(1 and ⏎ taken ${o.taken} time(s)), an idle answer ${o.answer?.toFixed(1) ?? 'never'} ms, ${o.bytes} bytes`);
        }
    }
    if (trace) {
        console.log(`traced, the floor: ${await traceVisit(browser, floor.url)}`);
        console.log(`traced, the page: ${await traceVisit(browser, site.url, keys)}`);
    }
} finally {
    await browser.close();
    await Promise.all([site, floor, bare, beside].filter(Boolean).map((server) => server.close()));
}

const m = (list, key) => median(list.map((entry) => entry[key] ?? Infinity));
const floorPrompt = m(floors, 'prompt');
const floorTaps = median(floors.map(({prompt, taps}) => prompt + taps));
console.log(`median of ${VISITS}: floor ${floorPrompt.toFixed(0)} ms; prompt ${m(pages, 'prompt').toFixed(0)} ms ` +
            `(${(m(pages, 'prompt') / floorPrompt).toFixed(2)} × the floor); settings ${m(pages, 'settings').toFixed(0)} ms ` +
            `(${(m(pages, 'settings') / floorPrompt).toFixed(2)} ×); 1 and ⏎ tapped as the prompt is drawn: the ⏎ got by ` +
            `the floor ${m(floors, 'taps').toFixed(0)} ms later (at ${floorTaps.toFixed(0)} ms, ${(floorTaps / floorPrompt).toFixed(2)} × ` +
            `its prompt, before any script), by the page ${m(pages, 'taps').toFixed(0)} ms later; the bare page's settings ` +
            `${m(bares, 'settings').toFixed(0)} ms (${(m(bares, 'settings') / floorPrompt).toFixed(2)} ×, as soon as any page's), its idle answer ` +
            `${m(bares, 'answer').toFixed(1)} ms; an idle answer ${m(pages, 'answer').toFixed(1)} ms; ` +
            `${m(pages, 'bytes')} bytes (${(m(pages, 'bytes') / 1024).toFixed(1)} KiB); ` +
            `taps lost or doubled in ${pages.filter((p) => p.taken !== 1).length} visit(s); ` +
            `stray frames at a reload: ${pages.reduce((sum, p) => sum + p.stray, 0)}`);
if (beside) {
    // Each round's times over its own floor's prompt, and the variant's less the page's, pair by pair.
    const ratios = (list, key) => list.map((entry, visit) => (entry[key] ?? Infinity) / floors[visit].prompt);
    for (const key of ['prompt', 'settings']) {
        const [mine, theirs] = [ratios(pages, key), ratios(besides, key)];
        const apart = theirs.map((ratio, visit) => ratio - mine[visit]);
        console.log(`${key}, round by round (× the floor): the page ${median(mine).toFixed(2)}, beside it ${median(theirs).toFixed(2)}; ` +
                    `beside less the page ${median(apart).toFixed(2)}, beside slower in ${apart.filter((d) => d > 0).length} of ${VISITS}`);
    }
}
const audit = spawnSync(process.execPath, [new URL('../tests/web/lighthouse_test.mjs', import.meta.url).pathname, siteDir],
                        {encoding: 'utf8'});
console.log(`Lighthouse (tests/web/lighthouse_test.mjs):\n${audit.stdout.trimEnd()}`);
