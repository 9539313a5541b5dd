// The page's offline play, tested in Node: web/service_worker.js over a stand-in Cache Storage, web/worker_registration.js over jsdom.

import assert from 'node:assert/strict';
import {test} from 'node:test';
import vm from 'node:vm';

import {flush, mockTimers, MUTATION, openPage, read} from './page.mjs';

const WORKER = read('web/service_worker.js');
const SCOPE = 'https://hitblow.test/play/';
const FILES = ['./', 'index.html', 'page.js', 'hitblow.wasm'];

// Cache Storage as a browser keeps it, in memory: caches by name, each a map from address to response.
class Caches extends Map {
    async open(name)
    {
        const kept = this.get(name) ?? this.set(name, new Map()).get(name);
        return {
            addAll: async (requests) => {
                for (const request of requests) {
                    assert.equal(request.cache, 'no-cache', 'checked with the server, not fetched again');
                    kept.set(request.url, await this.network(request));
                }
            },
            put: async (request, response) => { kept.set(request.url, response); },
            match: async (request, {ignoreSearch}) => kept.get(ignoreSearch ? request.url.replace(/\?.*/, '') : request.url),
        };
    }
}

// The worker of `version` over `caches`, the network answering as `network(request)` does, and the test's
// timers: start() installs and activates it, get(path) is the text it answers (null: the browser's).
function worker(t, caches, version, network)
{
    mockTimers(t);
    const on = {};
    const self = {
        registration: {scope: SCOPE}, location: new URL(`${SCOPE}service_worker.js`),
        addEventListener: (type, handler) => { on[type] = handler; },
        skipWaiting: async () => { self.skipped = true; },
        clients: {claim: async () => { self.claimed = true; }},
    };
    caches.network = network;
    vm.runInNewContext(`const SITE = ${JSON.stringify({version, files: FILES})};\n${WORKER}`, {
        self, caches, fetch: network, Response, URL, Promise, Error, setTimeout, ...MUTATION,
        Request: class extends Request { // its addresses relative to the worker's, as in a browser
            constructor(url, init) { super(new URL(url, SCOPE), init); }
        },
    });
    const lifecycle = (type) => new Promise((resolve) => on[type]({waitUntil: resolve}));
    return {
        self, start: async () => { await lifecycle('install'); await lifecycle('activate'); },
        async get(path, method = 'GET')
        {
            let answer = null;
            on.fetch({request: new Request(new URL(path, SCOPE), {method}), respondWith: (response) => { answer = response; }});
            const response = await answer;
            return response === null ? null : (response.type === 'error' ? 'error' : response.text());
        },
    };
}

const online = (release) => async (request) => (request.url.endsWith('missing') ?
    new Response('not found', {status: 404}) : new Response(`${release} ${new URL(request.url).pathname}`));
const offline = async () => { throw new TypeError('Failed to fetch'); };

test('the first visit keeps every file; online the network answers and the cache keeps it; offline the cache', async (t) => {
    const caches = new Caches();
    const first = worker(t, caches, 'v1', online('release 1'));
    await first.start();
    assert.deepEqual([first.self.skipped, first.self.claimed, [...caches.keys()]], [true, true, [`hitblow ${SCOPE} v1`]],
        'it takes over at once, the page that installed it too');
    assert.deepEqual([...caches.get(`hitblow ${SCOPE} v1`).keys()], FILES.map((file) => new URL(file, SCOPE).href));
    const away = worker(t, caches, 'v1', offline);
    for (const [what, path, network, cache, method] of [['a file of the site', 'page.js', 'release 1 /play/page.js', 'release 1 /play/page.js'],
        ['what the network answered', 'later.js', 'release 1 /play/later.js', 'release 1 /play/later.js'],
        ['a failure, not kept', 'missing', 'not found', 'error'], ['a request to change', 'page.js', null, null, 'POST'],
        ['a request for elsewhere', 'https://elsewhere.test/page.js', null, null]]) {
        assert.equal(await first.get(path, method), network, `${what}, online`);
        await flush();
        assert.equal(await away.get(`${path}?query`, method), cache, `${what}, offline, whatever the query`);
    }
    let answer = 'none yet';
    worker(t, caches, 'v1', () => new Promise(() => {})).get('index.html').then((text) => { answer = text; });
    for (const [ms, expected] of [[3999, 'none yet'], [1, 'release 1 /play/index.html']]) {
        t.mock.timers.tick(ms);
        await flush();
        assert.equal(answer, expected, 'a network that does not answer in 4 s is left for the cache');
    }
});

test('a new release is taken at the next visit online, and the old one\'s files are dropped', async (t) => {
    const caches = new Caches([['hitblow https://hitblow.test/other/ v0', new Map()]]);
    for (const version of ['v1', 'v2'])
        await worker(t, caches, version, online(`release ${version}`)).start();
    assert.deepEqual([...caches.keys()], ['hitblow https://hitblow.test/other/ v0', `hitblow ${SCOPE} v2`], 'another site\'s kept');
    assert.equal(await worker(t, caches, 'v2', offline).get('page.js'), 'release v2 /play/page.js');
});

test('the worker is registered seconds after the page starts, out of its first taps\' way, through the page\'s policy', async (t) => {
    const policies = {};
    const trustedTypes = {createPolicy: (name, rules) => {
        policies[name] = rules;
        return {createScriptURL: (url) => ({trusted: rules.createScriptURL(url)})};
    }};
    // [the policy, what register() is given]
    for (const [types, url] of [[undefined, 'service_worker.js'], [trustedTypes, {trusted: 'service_worker.js'}]]) {
        const registered = [];
        const page = openPage(t, ['worker_registration.js'], ['registerWorker', 'WORKER_DELAY_MS'], {
            globals: {trustedTypes: types},
            before: (window) => Object.defineProperty(window.navigator, 'serviceWorker', {
                value: {register: async (url) => registered.push(url) && types && Promise.reject(new Error('refused'))},
            }),
        });
        page.exports.registerWorker();
        const delay = page.exports.WORKER_DELAY_MS;
        let now = 0;
        for (const [until, expected] of [[2999, []], [delay - 1, []], [delay, [url]], [delay + 1000, [url]]]) {
            page.tick(until - now);
            now = until;
            await flush();
            assert.deepEqual(registered, expected, `by ${until} ms; plays on when refused`);
        }
    }
    assert.throws(() => policies.hitblow.createScriptURL('evil.js'), {name: 'TypeError', message: 'not this page\'s script: evil.js'});
    const bare = openPage(t, ['worker_registration.js'], ['registerWorker', 'WORKER_DELAY_MS']); // a browser without service workers
    bare.exports.registerWorker();
    bare.tick(bare.exports.WORKER_DELAY_MS);
    await flush();
});
