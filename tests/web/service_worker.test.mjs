// The page's offline play, tested in Node: the service worker over stand-ins for Cache Storage and its events, and its registration over jsdom.
//
// usage: node tests/web/service_worker.test.mjs

import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import vm from 'node:vm';

import {flush, mockTimers, openPage} from './page.mjs';

const WORKER = readFileSync(new URL('../../web/service_worker.js', import.meta.url), 'utf8');
const SCOPE = 'https://hitblow.test/play/';
const FILES = ['./', 'index.html', 'page.js', 'hitblow.wasm'];

// Cache Storage as a browser keeps it, in memory: caches by name, each a map from address to response.
class Caches {
    constructor() { this.named = new Map(); }
    async open(name)
    {
        if (!this.named.has(name))
            this.named.set(name, new Map());
        const kept = this.named.get(name);
        return {
            addAll: async (requests) => {
                for (const request of requests) {
                    assert.equal(request.cache, 'no-cache', 'checked with the server, not fetched again');
                    kept.set(request.url, await this.fetch(request));
                }
            },
            put: async (request, response) => { kept.set(request.url, response); },
            match: async (request, {ignoreSearch}) => kept.get(ignoreSearch ? request.url.replace(/\?.*/, '') : request.url),
        };
    }
    async keys() { return [...this.named.keys()]; }
    async delete(name) { return this.named.delete(name); }
}

// A browser with the worker of `version` installed in `caches`, the network answering as `network(request)` does;
// its timers are the test's.
function install(t, caches, version, network)
{
    mockTimers(t);
    const handlers = {};
    const self = {
        registration: {scope: SCOPE},
        location: new URL(`${SCOPE}service_worker.js`),
        addEventListener: (type, handler) => { handlers[type] = handler; },
        skipWaiting: async () => { self.waited = false; },
        clients: {claim: async () => { self.claimed = true; }},
        waited: true,
    };
    caches.fetch = (request) => network(request);
    vm.runInNewContext(`const SITE = ${JSON.stringify({version, files: FILES})};\n${WORKER}`, {
        self, caches, fetch: (request) => network(request), Response, URL, Promise, Error, setTimeout,
        Request: class extends Request { // its addresses relative to the worker's, as in a browser
            constructor(url, init) { super(new URL(url, SCOPE), init); }
        },
    });
    const lifecycle = async (type) => {
        let done;
        handlers[type]({waitUntil: (promise) => { done = promise; }});
        await done;
    };
    return {
        self, install: () => lifecycle('install'), activate: () => lifecycle('activate'),
        // What the worker answers for a GET of `path` (or a `method` request): its response's text, or null where
        // it leaves the request to the browser.
        async get(path, method = 'GET')
        {
            let answer = null;
            handlers.fetch({request: new Request(new URL(path, SCOPE), {method}), respondWith: (response) => { answer = response; }});
            const response = await answer;
            return response === null ? null : (response.type === 'error' ? 'error' : await response.text());
        },
    };
}

const online = (release) => async (request) => (request.url.endsWith('missing') ?
    new Response('not found', {status: 404}) : new Response(`${release} ${new URL(request.url).pathname}`));
const offline = async () => { throw new TypeError('Failed to fetch'); };

test('the first visit keeps every file, and the game then plays offline', async (t) => {
    const caches = new Caches();
    const worker = install(t, caches, 'v1', online('release 1'));
    await worker.install();
    assert.equal(worker.self.waited, false, 'it takes over at once');
    assert.deepEqual(await caches.keys(), [`hitblow ${SCOPE} v1`]);
    assert.deepEqual([...caches.named.get(`hitblow ${SCOPE} v1`).keys()], FILES.map((file) => new URL(file, SCOPE).href));
    await worker.activate();
    assert.equal(worker.self.claimed, true, 'and of the page that installed it');
    assert.equal(await worker.get('page.js'), 'release 1 /play/page.js', 'online, from the network');
    const away = install(t, caches, 'v1', offline);
    assert.equal(await away.get('page.js?fresh'), 'release 1 /play/page.js', 'offline, from the cache, whatever the query');
    assert.equal(await away.get('other.js'), 'error', 'what was never kept is an error');
});

test('the network keeps what it answers, but not a failure, and a request for elsewhere or to change is the browser\'s', async (t) => {
    const caches = new Caches();
    const worker = install(t, caches, 'v1', online('release 1'));
    await worker.install();
    assert.equal(await worker.get('later.js'), 'release 1 /play/later.js');
    assert.equal(await worker.get('missing'), 'not found');
    await flush();
    const away = install(t, caches, 'v1', offline);
    assert.equal(await away.get('later.js'), 'release 1 /play/later.js', 'what the network answered is kept');
    assert.equal(await away.get('missing'), 'error', 'a failure is not kept');
    assert.equal(await worker.get('page.js', 'POST'), null);
    assert.equal(await worker.get('https://elsewhere.test/page.js'), null);
});

test('a network that does not answer in time is left for the cache', async (t) => {
    const caches = new Caches();
    await install(t, caches, 'v1', online('release 1')).install();
    const worker = install(t, caches, 'v1', () => new Promise(() => {}));
    let answer = 'none yet';
    worker.get('index.html').then((text) => { answer = text; });
    t.mock.timers.tick(3999);
    await flush();
    assert.equal(answer, 'none yet');
    t.mock.timers.tick(1);
    await flush();
    assert.equal(answer, 'release 1 /play/index.html');
});

test('a new release is taken at the next visit online, and the old one\'s files are dropped', async (t) => {
    const caches = new Caches();
    await caches.open('hitblow https://hitblow.test/other/ v0');
    const first = install(t, caches, 'v1', online('release 1'));
    await first.install();
    await first.activate();
    const next = install(t, caches, 'v2', online('release 2'));
    await next.install();
    assert.deepEqual(await caches.keys(), ['hitblow https://hitblow.test/other/ v0', `hitblow ${SCOPE} v1`, `hitblow ${SCOPE} v2`]);
    await next.activate();
    assert.deepEqual(await caches.keys(), ['hitblow https://hitblow.test/other/ v0', `hitblow ${SCOPE} v2`],
        'another site\'s cache is kept');
    assert.equal(await install(t, caches, 'v2', offline).get('page.js'), 'release 2 /play/page.js');
});

// The page with a browser's service worker container, whose register() does as `register` says.
function openRegistering(t, register, trustedTypes)
{
    const registered = [];
    const page = openPage(t, ['worker_registration.js'], ['registerWorker'], {
        globals: {trustedTypes},
        before: (window) => Object.defineProperty(window.navigator, 'serviceWorker', {
            value: {register: async (url) => registered.push(url) && register()},
        }),
    });
    return {page, registered};
}

test('the worker is registered once the page is drawn, or soon where no frame comes', async (t) => {
    // The first frame comes at 16 ms, and the page waits for its work to be done.
    for (const [frames, before, by] of [[true, 15, 20], [false, 249, 250]]) {
        const {page, registered} = openRegistering(t, async () => {});
        if (!frames)
            page.window.requestAnimationFrame = () => {};
        page.exports.registerWorker();
        page.tick(before);
        await flush();
        assert.deepEqual(registered, [], `not by ${before} ms`);
        page.tick(by - before);
        await flush();
        assert.deepEqual(registered, ['service_worker.js'], `by ${by} ms`);
        page.tick(1000);
        await flush();
        assert.equal(registered.length, 1, 'once');
    }
});

test('the page names its worker through its one Trusted Types policy, and plays on where it cannot register', async (t) => {
    const policies = {};
    const trustedTypes = {createPolicy: (name, rules) => { policies[name] = rules; return {createScriptURL: (url) => ({trusted: rules.createScriptURL(url)})}; }};
    const {page, registered} = openRegistering(t, async () => { throw new Error('refused'); }, trustedTypes);
    page.exports.registerWorker();
    page.tick(300);
    await flush();
    assert.deepEqual(registered, [{trusted: 'service_worker.js'}]);
    assert.deepEqual(Object.keys(policies), ['hitblow']);
    assert.throws(() => policies.hitblow.createScriptURL('evil.js'), {name: 'TypeError', message: 'not this page\'s script: evil.js'});
    const none = openPage(t, ['worker_registration.js'], ['registerWorker']);
    none.exports.registerWorker(); // a browser with no service workers
    none.tick(300);
});
