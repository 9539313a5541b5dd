// Browser tests: the scenarios, each written once over the driver interface of drivers.mjs, played as a player would.
//
// A scenario has `run(player)`, which throws when something is wrong, and may have `devices` (screens, a fresh
// page each), `needs` (what of drivers.mjs's LIMITS it needs; noScripts plays it with scripts off), `base` and
// `gone` (site_server.mjs's).

import {cpSync, mkdtempSync, readFileSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import vm from 'node:vm';

import {TEST_SCRIPT_PATH} from './site_server.mjs';

// The page's clock, at the fixed clock's second (HITBLOW_FIXED_CLOCK): easy's answer is then 059, hard's 0596.
export const FIXED_TIME = process.env.HITBLOW_FIXED_CLOCK ? new Date(1000 * Number(process.env.HITBLOW_FIXED_CLOCK)) : null;
const WAIT_MS = 20000; // the longest wait for the screen to show something

const FAREWELL = 'ゲームを終了します。';
// The page's own word `name` (web/words.js).
const word = (name) => vm.runInNewContext(`${readFileSync(new URL('../../web/words.js', import.meta.url), 'utf8')}\n${name}`);
const LEVEL_ERROR = 'その難易度は出来ません。もう一度数字を入力してください。'; // the widest line
const ASK_DIGITS = '何桁で遊びますか(最大10桁):';
const SECOND_TURN = '1つ目の数字:9'; // the README's game's second turn, its first digit typed
const [ENTER_KEY, BACKSPACE_KEY] = ['入力 Enter', '⌫ Backspace']; // the keypad's, by their accessible names
const PHONES = ['touch 320x640', 'touch 360x640', 'Pixel 7'];

const check = (condition, what) => {
    if (!condition)
        throw new Error(what);
};

const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// A copy of the site in `dir` as its next release: a mark on the page, and the cache named anew.
function newRelease(dir)
{
    const copy = mkdtempSync(join(tmpdir(), 'hitblow-site-'));
    cpSync(dir, copy, {recursive: true});
    const page = join(copy, 'index.html');
    writeFileSync(page, readFileSync(page, 'utf8').replace('<main>', '<main>\n<p id="new-release" hidden></p>'));
    const worker = join(copy, 'service_worker.js');
    writeFileSync(worker, readFileSync(worker, 'utf8').replace(/version: '([0-9a-f]+)'/, "version: '$1-next'"));
    return copy;
}

// The player's side of the page: the screen as text, typing, tapping, waiting.
export class Player {
    constructor(page, readmePath, site = null)
    {
        Object.assign(this, {page, readmePath, site});
    }

    // Plays `steps`: for each [prompt, answer], waits for the prompt, then types the answer and Enter (taps it,
    // with `tap`); a step with no answer only waits.  Returns the screen.
    async play(steps, {tap = false} = {})
    {
        let lines = [];
        for (const [prompt, answer] of steps) {
            lines = await this.waitForPrompt(prompt);
            if (answer !== undefined)
                await (tap ? this.tapLine(answer) : this.enter(answer));
        }
        return lines;
    }

    // Plays the README's game: at each prompt, `answer(step, later)` answers, by default typed; it may answer
    // later prompts too, taking them out of `later`.  Then waits for the run's end, and returns the screen.
    async walkReadmeGame(answer = (step) => this.enter(step.typed))
    {
        const later = this.readmeGame().filter((step) => step.prompt !== undefined);
        while (later.length > 0) {
            const step = later.shift();
            await this.waitForPrompt(step.prompt);
            await answer(step, later);
        }
        await this.waitFor('the end of the run', (hidden) => !hidden,
                           () => this.page.evaluate(() => document.getElementById('again').hidden));
        return this.screen();
    }

    // Plays the README's game, and checks that the screen then shows its lines after what stood before.
    async playReadmeGame(answer = undefined)
    {
        const before = (await this.waitForPrompt('難易度:')).length - 3; // less the level menu's lines
        await this.walkReadmeGame(answer);
        const expected = this.readmeGame().map((step) => step.line);
        await this.waitFor(`the README's game, whole:\n${expected.join('\n')}\n--- instead ---`,
                           (lines) => same(lines.slice(before), expected));
        return expected;
    }

    // Cuts the page off from the network, where the driver can, and stops the site's server; or puts both back.
    async setOffline(offline)
    {
        this.site.offline = offline;
        await this.page.setOffline(offline);
    }

    // Leaves the page for a blank one, then goes back to it: true where the back/forward cache kept
    // it, the very page (whose scripts' state is as it was), false where it was loaded afresh.
    async leaveAndComeBack()
    {
        await this.page.evaluate(() => { window.leftHere = true; });
        await this.page.visit('about:blank');
        await this.page.back();
        return this.waitFor('the page again', (kept) => kept !== null, () => this.page.evaluate(() =>
            (document.getElementById('view') === null ? null : window.leftHere === true)).catch(() => null)); // mid-way
    }

    // The names of the service worker caches the page can see.
    caches()
    {
        return this.page.evaluate(async () => (await caches.keys()).filter((name) => name.startsWith('hitblow ')));
    }

    // Waits until the site's service worker controls the page and keeps the site, the test's clock script too.
    async waitForOffline()
    {
        await this.waitFor('the service worker to keep the site', (ready) => ready, () => this.page.evaluate(async (clock) => {
            const names = (await caches.keys()).filter((name) => name.startsWith('hitblow '));
            if (navigator.serviceWorker.controller === null || names.length !== 1)
                return false;
            await fetch(clock); // which the worker then keeps
            const kept = (await (await caches.open(names[0])).keys()).map((request) => request.url);
            return kept.some((url) => url.endsWith('/hitblow.wasm')) && kept.some((url) => url.endsWith(clock));
        }, TEST_SCRIPT_PATH));
    }

    // The transcript's lines as its text reads, the empty ones at the end left out.
    async screen()
    {
        const lines = await this.page.evaluate(() => [...document.querySelectorAll('#transcript > div > div:not(.note)')]
            .flatMap((block) => block.textContent.replace(/\n$/, '').split('\n')));
        return lines.slice(0, lines.findLastIndex((line) => line !== '') + 1);
    }

    // Waits until `test(lines)` holds for the screen (or for what `read` returns), and returns the lines.
    async waitFor(what, test, read = () => this.screen())
    {
        const deadline = Date.now() + WAIT_MS;
        for (;;) {
            const lines = await read();
            if (test(lines))
                return lines;
            if (Date.now() > deadline)
                throw new Error(`waited in vain for ${what}; the screen shows:\n${[].concat(lines).join('\n')}`);
            await new Promise((resolve) => setTimeout(resolve, 20));
        }
    }

    // Waits for the page's next frame, and the work after it.  The page brings its end into view in the frame
    // after a change: a look at its layout before that sees what no frame has shown, as WebKit's driver can
    // look before the page's next frame.
    drawn()
    {
        return this.page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 50))));
    }

    // Waits until the last line on the screen ends with `prompt`, the cursor after it.
    waitForPrompt(prompt)
    {
        return this.waitFor(`the prompt "${prompt}"`, (lines) => lines.length > 0 && lines[lines.length - 1].endsWith(prompt));
    }

    // Types `text` key by key, then Enter.
    async enter(text)
    {
        await this.page.type(text);
        await this.page.press('Enter');
    }

    // Taps the keypad's keys for `text`, then Enter.
    async tapLine(text)
    {
        for (const key of text)
            await this.page.tap(key);
        await this.page.tap(ENTER_KEY);
    }

    // Pastes the text made of `parts`, [text, times] pairs, as the browser's paste event; where a script's
    // paste carries no text (Firefox), the text goes in as a drop does.
    paste(...parts)
    {
        return this.page.evaluate((pieces) => {
            const text = pieces.map(([piece, times]) => piece.repeat(times)).join('');
            const answer = document.getElementById('answer');
            const data = new DataTransfer();
            data.setData('text/plain', text);
            const paste = new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true});
            if (paste.clipboardData?.getData('text/plain') === text) {
                answer.dispatchEvent(paste);
                return;
            }
            answer.value = text;
            answer.dispatchEvent(new InputEvent('input', {inputType: 'insertFromDrop', data: text, bubbles: true}));
        }, parts);
    }

    // The README's game as tests/readme_transcript.sh splits it: each line, and a prompt's prompt and answer.
    readmeGame()
    {
        const text = readFileSync(this.readmePath, 'utf8');
        const block = text.split('<!-- transcript')[1].split('```text\n')[1].split('\n```')[0];
        return block.split('\n').map((line) => {
            const match = line.match(/^(.*(?:難易度|つ目の数字|桁\)|回\)):)(.*)$/);
            return match ? {line, prompt: match[1], typed: match[2]} : {line};
        });
    }
}

// The text size in device pixels at 100% in each engine, for the zoomed page.
const unzoomedSize = {};

// What scrolls sideways, the text size, the keys, and where the caret stands against the keypad.
function layout(page)
{
    return page.evaluate(() => {
        const box = (element) => element.getBoundingClientRect();
        const screen = document.getElementById('view');
        const keypad = document.getElementById('keypad');
        const caret = box(document.querySelector('#transcript .caret'));
        const shown = (element) => getComputedStyle(element).display !== 'none';
        return {
            wide: Math.max(document.documentElement.scrollWidth, document.body.scrollWidth),
            screenWide: screen.scrollWidth - screen.clientWidth,
            width: innerWidth,
            fontSize: parseFloat(getComputedStyle(document.getElementById('transcript')).fontSize),
            pixelRatio: devicePixelRatio,
            keys: shown(keypad) ? [...keypad.querySelectorAll('button')].map((key) => [box(key).width, box(key).height]) : [],
            caretTop: caret.top,
            caretBottom: caret.bottom,
            screenTop: box(screen).top,
            screenBottom: box(screen).bottom,
            keypadTop: shown(keypad) ? box(keypad).top : innerHeight,
        };
    });
}

// A phone's page: text of 16 CSS px at least, nothing sideways, keys of 48 by 48, the caret in view above the keypad.
function checkPhoneLayout(seen)
{
    check(seen.fontSize >= 16, `the game's text is ${seen.fontSize} CSS px, below 16`);
    check(seen.wide <= seen.width && seen.screenWide <= 0,
          `the page scrolls sideways: ${seen.wide} > ${seen.width} or by ${seen.screenWide}`);
    check(seen.keys.length === 13 && seen.keys.every(([w, h]) => w >= 48 && h >= 48),
          `a key is smaller than 48 by 48: ${JSON.stringify(seen.keys)}`);
    check(seen.caretTop >= seen.screenTop && seen.caretBottom <= Math.min(seen.screenBottom, seen.keypadTop) + 1,
          `the line being typed is not in view above the keypad: ${JSON.stringify(seen)}`);
}

// Where the farewell's last line, the page's word, the view, the bar's button and what is under it stand.
function endLayout(page)
{
    return page.evaluate((farewell) => {
        const box = (element) => element.getBoundingClientRect().toJSON();
        const walker = document.createTreeWalker(document.getElementById('transcript'), NodeFilter.SHOW_TEXT);
        let last = null;
        for (let node; (node = walker.nextNode()) !== null;) {
            if (node.data.includes(farewell))
                last = node;
        }
        const range = document.createRange();
        const at = last.data.lastIndexOf(farewell);
        range.setStart(last, at);
        range.setEnd(last, at + farewell.length);
        const rects = [...range.getClientRects()];
        const keypad = document.getElementById('keypad');
        return {
            farewell: rects[rects.length - 1].toJSON(),
            word: box(document.querySelector('#log .note:last-child')),
            view: box(document.getElementById('view')),
            button: box(document.getElementById('again')),
            under: getComputedStyle(keypad).display !== 'none' ? box(keypad).top : innerHeight,
        };
    }, FAREWELL);
}

// The farewell and the page's word whole in the view, the button under it and above the keypad or the window's foot.
function checkEndInView(seen)
{
    const within = (inner, outer) => inner.top >= outer.top - 1 && inner.bottom <= outer.bottom + 1;
    check(within(seen.farewell, seen.view), `the farewell is out of view: ${JSON.stringify(seen)}`);
    check(within(seen.word, seen.view), `the page's last word is out of view: ${JSON.stringify(seen)}`);
    check(seen.button.top >= seen.view.bottom - 1 && seen.button.bottom <= seen.under + 1 && seen.button.height > 0,
          `the button is not in view under the transcript: ${JSON.stringify(seen)}`);
}

// Plays the README's answers as one paste, and checks that the run's end stands in view.
async function playToEnd(player)
{
    await player.walkReadmeGame((step, later) =>
        player.paste([[step, ...later.splice(0)].map(({typed}) => `${typed}\r`).join(''), 1]));
    await player.drawn();
    checkEndInView(await endLayout(player.page));
    // In a lower window, as a phone's keyboard or zoom makes it, the transcript's end stays in view.
    const [width, height] = await player.page.evaluate(() => [innerWidth, innerHeight]);
    await player.page.resize(width, Math.round(height * 0.8));
    await player.waitFor('the lower window', (seen) => seen < height, () => player.page.evaluate(() => innerHeight));
    await player.drawn();
    const lower = await endLayout(player.page);
    checkEndInView({...lower, farewell: lower.word});
}

export const SCENARIOS = {
    // The README's game typed key by key shows exactly its lines, then the page's word, under a Content-Security-Policy
    // that allows the site's own files alone and requires Trusted Types, which the engine enforces.
    readme_game: {
        async run(player)
        {
            const policy = await player.page.evaluate(() =>
                document.querySelector('meta[http-equiv="Content-Security-Policy"]')?.content || '');
            const directives = policy.split(/; */);
            for (const directive of ["default-src 'self'", "style-src 'self'", "require-trusted-types-for 'script'", 'trusted-types hitblow'])
                check(directives.includes(directive), `the policy has no "${directive}": ${policy}`);
            check(directives.some((directive) => /^script-src 'self' 'wasm-unsafe-eval'( 'sha256-[A-Za-z0-9+/]+=*')+$/.test(directive)),
                  `the policy's scripts are not the site's own and its inline scripts by their hashes: ${policy}`);
            const html = readFileSync(join(player.site.dir, 'index.html'), 'utf8');
            const first = html.match(/<div id="first-screen"[^>]*>([^<]*)</)?.[1]
                .replaceAll('&lt;', '<').replaceAll('&gt;', '>').replaceAll('&amp;', '&');
            const [menu, levels, level] = player.readmeGame();
            check(first === `${menu.line}\n${levels.line}\n${level.prompt}`, `the page's first screen is not the game's first text: ${first}`);
            await player.waitForPrompt('難易度:');
            check(await player.page.evaluate(() => document.activeElement?.id === 'answer'),
                  'the answer does not have the keyboard focus on load');
            await player.playReadmeGame();
            const end = await player.page.evaluate(() => document.getElementById('log').textContent);
            check(end.endsWith(`${FAREWELL}\n${word('ENDED')}`), `the run's end is not the farewell, then the page's word:\n${end}`);
            // Where the engine enforces them, markup cannot be written from a
            // string; what that try leaves in the page's log is this test's own.
            const enforced = await player.page.evaluate(() => new Promise((resolve) => {
                let blocked = true;
                try {
                    document.createElement('div').innerHTML = '<b>x</b>';
                    blocked = false;
                } catch {
                    // blocked
                }
                setTimeout(() => {
                    window.policyViolations = window.policyViolations.filter((violation) => !violation.endsWith('trusted-types-sink'));
                    resolve(window.trustedTypes === undefined ? null : blocked);
                }, 200);
            }));
            player.page.problems = player.page.problems.filter((problem) => !/TrustedHTML|injection sink/.test(problem));
            check(enforced !== false, 'the engine has Trusted Types, but the page does not require them');
        },
    },

    // Phones from 320 px: text at 16 px or more, nothing sideways, keys of 48 px, the line typed in view.
    phone_fit: {
        devices: PHONES,
        async run(player)
        {
            await player.waitForPrompt('難易度:');
            await player.paste(['9 1 0 5 9\r', 1]);
            await player.waitFor('the refusal, then the menu with extra', (lines) => lines.includes(LEVEL_ERROR) &&
                lines.includes('practice:0 easy:1 normal:2 hard:3 extra:5 '));
            await player.play([['難易度:', '0'], [ASK_DIGITS, '10'], ['何回まで入力できるようにしますか(最大16回):', '16'],
                               ['1つ目の数字:']], {tap: true});
            await player.paste(['0 1 2 3 4 5 6 7 8 8\r', 16]);
            await player.waitFor('the 16th turn of 10 digits',
                                 (lines) => lines.some((line) => /^16回目:0123456788 HIT:\d+ BLOW:\d+ $/.test(line)));
            await player.waitForPrompt('難易度:');
            await player.paste(['1', 200]);
            await player.page.tap(BACKSPACE_KEY);
            await player.drawn();
            checkPhoneLayout(await layout(player.page));
        },
    },

    // At 400% the text is 3.5 times its size at 100% or more, nothing scrolls sideways, and the run's end stands in view.
    zoom: {
        needs: ['zoom'],
        devices: ['desktop 1280x800', 'zoom 400%'],
        async run(player)
        {
            await player.waitForPrompt('難易度:');
            await player.drawn();
            const seen = await layout(player.page);
            const size = seen.fontSize * seen.pixelRatio;
            const engine = player.page.engine;
            check(seen.wide <= seen.width && seen.screenWide <= 0 && seen.caretBottom <= seen.screenBottom + 1,
                  `the page scrolls sideways, or the prompt is out of view: ${JSON.stringify(seen)}`);
            if (seen.pixelRatio === 1) {
                unzoomedSize[engine] = size;
                return;
            }
            check(size >= 3.5 * unzoomedSize[engine], `at 400% the text is ${size} device px, against ${unzoomedSize[engine]} at 100%`);
            await playToEnd(player);
        },
    },

    // The run's end (the farewell, the page's word, the button) stands in view, and stays there in a lower window.
    end_in_view: {
        devices: ['desktop 1280x800', ...PHONES, 'iPhone 13'],
        run: playToEnd,
    },

    // A run survives a reload, with the clock moved on, and shows line for line what it shows without one; no
    // frame shows anything else till then, the fresh menu of the page's HTML least of all.
    reload: {
        async run(player)
        {
            await player.playReadmeGame(async (step) => {
                if (step.line !== SECOND_TURN)
                    return player.enter(step.typed);
                await player.page.type(step.typed);
                const before = await player.waitForPrompt(step.prompt + step.typed);
                player.site.fixedTime = new Date(FIXED_TIME.getTime() + 86400e3);
                await player.page.reload();
                await player.waitFor('the same screen after a reload', (lines) => same(lines, before));
                const frames = await player.page.evaluate(() => testFrames);
                check(frames.every((text) => text === '' || text === frames[frames.length - 1]),
                      `a frame of the reload showed neither nothing nor the run:\n${frames.join('\n----\n')}`);
                check(await player.page.evaluate(() => Date.now()) !== FIXED_TIME.getTime(), 'the clock did not move on');
                player.site.fixedTime = FIXED_TIME;
                await player.page.press('Enter');
            });
        },
    },

    // The page follows light and dark colour schemes and forced colours, and its caret keeps still under reduced motion.
    appearance: {
        needs: ['media'],
        async run(player)
        {
            await player.waitForPrompt('難易度:');
            // [the media emulated, what the page's colours and caret must then be]
            for (const [media, test] of [
                [{colorScheme: 'light', reducedMotion: 'no-preference', forcedColors: 'none'},
                    (seen) => seen.background === 'rgb(255, 255, 255)' && seen.text === 'rgb(26, 26, 26)' && seen.animation === 'blink'],
                [{colorScheme: 'dark', reducedMotion: 'reduce'},
                    (seen) => seen.background === 'rgb(0, 0, 0)' && seen.text === 'rgb(221, 221, 221)' && seen.animation === 'none'],
                [{forcedColors: 'active'}, (seen) => seen.caret === seen.text && seen.caret !== seen.background && parseFloat(seen.width) > 0],
            ]) {
                await player.page.emulateMedia(media);
                const seen = await player.page.evaluate(() => {
                    const style = (selector) => getComputedStyle(document.querySelector(selector));
                    const caret = style('#transcript .caret');
                    return {background: style('body').backgroundColor, text: style('#transcript').color,
                            caret: caret.borderLeftColor, width: caret.borderLeftWidth, animation: caret.animationName};
                });
                check(test(seen), `under ${JSON.stringify(media)}: ${JSON.stringify(seen)}`);
            }
        },
    },

    // After one visit, served from a folder deep in the host, the README's game plays with the network gone; a new
    // release is shown at the next visit online, the old cache dropped, and then offline too.
    offline: {
        base: '/games/hitblow/',
        async run(player)
        {
            await player.waitForPrompt('難易度:');
            await player.waitForOffline();
            await player.setOffline(true);
            await player.page.reload();
            await player.playReadmeGame();
            await player.setOffline(false);
            const [old] = await player.caches();
            player.site.setDir(newRelease(player.site.dir));
            const released = () => player.page.evaluate(() => document.getElementById('new-release') !== null);
            await player.page.reload();
            await player.waitFor('the new release', (marked) => marked, released);
            await player.waitFor('the old cache to go', (names) => names.length === 1 && names[0] !== old, () => player.caches());
            await player.waitForOffline();
            await player.setOffline(true);
            await player.page.reload();
            check(await released(), 'offline, the old release came back');
            await player.waitForPrompt('難易度:');
            await player.setOffline(false);
        },
    },

    // After a paste of 10,000 or 100,000 blank lines mid-game, every line the game prints as play goes on stands.
    scrollback: {
        async run(player)
        {
            for (const lines of [10000, 100000]) {
                const end = await player.walkReadmeGame(async (step) => {
                    if (step.line === SECOND_TURN)
                        await player.paste(['\r', lines]);
                    await player.enter(step.typed);
                });
                const game = player.readmeGame().map((step) => step.line);
                const since = game.slice(game.indexOf(SECOND_TURN) + 1);
                check(same(end.slice(-since.length - 1), ['9', ...since]),
                      `after ${lines} blank lines, the screen ends:\n${end.slice(-since.length - 1).join('\n')}`);
                await player.page.press('Enter');
            }
        },
    },

    // Left for another page and gone back to, the page is the one the back/forward cache kept: the run and its
    // screen as they were, and the game answers on.
    bfcache: {
        async run(player)
        {
            const before = await player.play([['難易度:', '1'], ['1つ目の数字:']]);
            // Its service worker in control first: a page the worker takes over while it is cached is dropped.
            await player.waitForOffline();
            check(await player.leaveAndComeBack(), 'the page was loaded afresh, not kept by the back/forward cache ' +
                  `(why, where the engine says: ${await player.page.evaluate(() =>
                      JSON.stringify(performance.getEntriesByType('navigation')[0].notRestoredReasons))})`);
            check(same(await player.screen(), before), `the screen is not as it was:\n${(await player.screen()).join('\n')}`);
            await player.enter('0 5 9');
            await player.waitFor('the game\'s answer', (lines) => lines.some((line) => line.endsWith('HIT  :3')));
        },
    },

    // Chromium's own check finds the page installable as an app, once its service worker keeps it.
    installable: {
        needs: ['installability'],
        async run(player)
        {
            await player.waitForOffline();
            const errors = await player.page.installabilityErrors();
            check(errors.length === 0, `Chromium would not install the page: ${errors.join(', ')}`);
        },
    },

    // Where the game cannot start, its wasm gone, the page says so in plain words in place of a menu that takes nothing.
    no_game: {
        gone: 'hitblow.wasm',
        async run(player)
        {
            const shown = () => player.page.evaluate(() => document.getElementById('transcript').innerText.trimEnd());
            const text = await player.waitFor('the page\'s word that the game could not start',
                                              (seen) => seen.endsWith(word('NOT_STARTED')), shown);
            check(!text.includes('難易度'), `the menu stands:\n${text}`);
            player.page.problems = player.page.problems.filter((problem) => !/404|Not Found/.test(problem)); // the gone wasm's
        },
    },

    // With scripts off, the page says the game needs them in place of the menu and the keypad.
    no_scripts: {
        needs: ['noScripts'],
        async run(player)
        {
            const seen = await player.page.evaluate(() => [document.getElementById('view').innerText.trim(),
                getComputedStyle(document.getElementById('keypad')).display]);
            check(seen[0].startsWith('このゲームはJavaScriptで動きます。') && seen[1] === 'none',
                  `the page does not say it needs scripts, or shows the keypad: ${JSON.stringify(seen)}`);
        },
    },

    // An input method's full-width digit is shown, taken back, and refused by the game; 0x81 0x60 reads as U+FF5E.
    ime: {
        async run(player)
        {
            await player.play([['難易度:', '0'], [ASK_DIGITS]]);
            await player.page.insertText('０');
            await player.waitForPrompt(`${ASK_DIGITS}０`);
            await player.page.press('Backspace');
            await player.page.insertText('３');
            await player.page.press('Enter');
            await player.waitFor('the full-width 3 to be refused', (seen) =>
                same(seen.slice(-3), [`${ASK_DIGITS}３`, '1\uFF5E10の間でお願いします。', ASK_DIGITS]));
            const tilde = await player.page.evaluate(() => new TextDecoder('shift_jis').decode(new Uint8Array([0x81, 0x60])));
            check(tilde === '\uFF5E', `the browser's Shift_JIS decoder gives U+${tilde.codePointAt(0).toString(16)} for 0x81 0x60`);
        },
    },
};
