// The page's scripts in Node: its own HTML in a jsdom window, the scripts run there as the page runs them, and stand-ins for what jsdom lacks.

import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import vm from 'node:vm';

import {withFirstScreen} from '../../cmake/page_html.mjs';
import {requireModules} from './harness.mjs';

requireModules('jsdom');
const {JSDOM, VirtualConsole} = await import('jsdom');

// The text of `file`, from the top of the source tree.
export const read = (file) => readFileSync(new URL(`../../${file}`, import.meta.url), 'utf8');

// The page's scripts in the order the page runs them, as cmake/web.cmake lists them.
export const PAGE_SCRIPTS = read('cmake/web.cmake').match(/set\(page_scripts ([^)]*)\)/)[1].split(' ');

// Where a mutation test's changed code finds which change is on (npm run mutation).
export const MUTATION = {process: {env: process.env}};

// Opens the page at `url`, its first screen `firstScreen` as the site's build writes it, with `scripts` (files
// of web/) run in one function, in order, as the page runs them, after `globals` are set and `before(window)`
// has run, and returns {window, document, exports: the `names` those scripts define, resize(), tick(ms)}.  Its
// timers and frames are the test's mock timers; its clock, performance.now(), moves with tick() alone.
// `touch` makes the screen a touch screen.  An error it throws, which a browser would report, fails the test.
export function openPage(t, scripts, names,
    {url = 'https://hitblow.test/play/', touch = false, firstScreen = '', globals = {}, before = () => {}} = {})
{
    const errors = [];
    const virtualConsole = new VirtualConsole().on('jsdomError', (error) => errors.push(error.detail ?? error));
    t.after(() => assert.deepEqual(errors, [], 'the page threw'));
    const dom = new JSDOM(withFirstScreen(read('web/index.html'), firstScreen), {url, runScripts: 'outside-only', virtualConsole});
    const {window} = dom;
    const observers = [];
    const cleared = new Set(); // timers the page has cleared: Node 18's mock timers lose track of others when cleared
    let now = 0;
    Object.assign(window, MUTATION, {
        setTimeout: (run, ms, ...args) => {
            const timer = setTimeout(() => cleared.delete(timer) || run(...args), ms);
            return timer;
        },
        clearTimeout: (timer) => cleared.add(timer),
        requestAnimationFrame: (frame) => setTimeout(frame, 16),
        matchMedia: (query) => ({matches: touch && query === '(pointer: coarse)'}),
        ResizeObserver: class { constructor(seen) { observers.push(seen); } observe() {} },
        TextDecoder, TextEncoder, ...globals,
    });
    Object.defineProperty(window, 'performance', {value: {now: () => now}});
    before(window);
    mockTimers(t);
    const code = scripts.map((script) => read(`web/${script}`)).join('\n');
    return {
        window, document: window.document,
        exports: vm.runInContext(`(() => {\n${code}\nreturn {${names.join(', ')}};\n})()`, dom.getInternalVMContext()),
        // Tells the page that something it watches changed size.
        resize: () => observers.forEach((seen) => seen()),
        // Moves the clock on by `ms`, a millisecond at a time, running each timer when it is due.
        tick(ms)
        {
            for (t.mock.timers.tick(0); ms > 0; ms--) {
                now++;
                t.mock.timers.tick(1);
            }
        },
    };
}

// Gives the test's own timers in place of setTimeout and clearTimeout, afresh: a test may open more than one page.
export function mockTimers(t)
{
    t.mock.timers.reset();
    try {
        t.mock.timers.enable({apis: ['setTimeout']});
    } catch {
        t.mock.timers.enable(['setTimeout']); // Node 18's form
    }
}

// Lets every promise that can go on now go on: a page's work between two timers.
export const flush = async () => {
    for (let i = 0; i < 100; i++)
        await null;
};
