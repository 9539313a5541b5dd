// The page's offline play, tested in Node: web/service_worker.js over a stand-in Cache Storage, web/worker_registration.js over jsdom.
//
// usage: node tests/web/service_worker.test.mjs

import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import vm from 'node:vm';

import {flush, mockTimers, MUTATION, openPage} from './page.mjs';

const WORKER = readFileSync(new URL('../../web/service_worker.js', import.meta.url), 'utf8');
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

// The worker of `version` in a browser whose caches are `caches`, the network answering as `network(request)`
// does, and the test's own timers.
function worker(t, caches, version, network)
{
    mockTimers(t);
    const on = {};
    const self = {
        registration: {scope: SCOPE},
        location: new URL(`${SCOPE}service_worker.js`),
        addEventListener: (type, handler) => { on[type] = handler; },
        skipWaiting: async () => { self.skipped = true; },
        clients: {claim: async () => { self.claimed = true; }},
    };
    caches.network = network;
    vm.runInNewContext(`const SITE = ${JSON.stringify({version, files: FILES})};\n${WORKER}`, {
        self, caches, fetch: network, Response, URL, Promise, Error, setTimeout,
        ...MUTATION,
        Request: class extends Request { // its addresses relative to the worker's, as in a browser
            constructor(url, init) { super(new URL(url, SCOPE), init); }
        },
    });
    const lifecycle = async (type) => {
        let done;
        on[type]({waitUntil: (promise) => { done = promise; }});
        await done;
    };
    return {
        self, install: () => lifecycle('install'), activate: () => lifecycle('activate'),
        // The text of the worker's answer to a request for `path`, or null where it leaves it to the browser.
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
    await first.install();
    assert.equal(first.self.skipped, true, 'it takes over at once');
    assert.deepEqual([...caches.keys()], [`hitblow ${SCOPE} v1`]);
    assert.deepEqual([...caches.get(`hitblow ${SCOPE} v1`).keys()], FILES.map((file) => new URL(file, SCOPE).href));
    await first.activate();
    assert.equal(first.self.claimed, true, 'and of the page that installed it');
    assert.equal(await first.get('later.js'), 'release 1 /play/later.js', 'online, from the network');
    assert.equal(await first.get('missing'), 'not found');
    assert.equal(await first.get('page.js', 'POST'), null, 'a request to change is the browser\'s');
    assert.equal(await first.get('https://elsewhere.test/page.js'), null, 'and one for elsewhere');
    await flush();
    const away = worker(t, caches, 'v1', offline);
    assert.equal(await away.get('page.js?fresh'), 'release 1 /play/page.js', 'offline, from the cache, whatever the query');
    assert.equal(await away.get('later.js'), 'release 1 /play/later.js', 'what the network answered is kept');
    assert.equal(await away.get('missing'), 'error', 'a failure is not kept');
    let answer = 'none yet';
    worker(t, caches, 'v1', () => new Promise(() => {})).get('index.html').then((text) => { answer = text; });
    t.mock.timers.tick(3999);
    await flush();
    assert.equal(answer, 'none yet');
    t.mock.timers.tick(1);
    await flush();
    assert.equal(answer, 'release 1 /play/index.html', 'a network that does not answer in time is left for the cache');
});

test('a new release is taken at the next visit online, and the old one\'s files are dropped', async (t) => {
    const caches = new Caches([['hitblow https://hitblow.test/other/ v0', new Map()]]);
    const first = worker(t, caches, 'v1', online('release 1'));
    await first.install();
    await first.activate();
    const next = worker(t, caches, 'v2', online('release 2'));
    await next.install();
    await next.activate();
    assert.deepEqual([...caches.keys()], ['hitblow https://hitblow.test/other/ v0', `hitblow ${SCOPE} v2`],
        'another site\'s cache is kept');
    assert.equal(await worker(t, caches, 'v2', offline).get('page.js'), 'release 2 /play/page.js');
});

// The page's registration, in a browser whose register() does as `register` says, with `trustedTypes`, and
// drawing `frames` or none.
function registering(t, register, trustedTypes, frames = true)
{
    const registered = [];
    const page = openPage(t, ['worker_registration.js'], ['registerWorker'], {
        globals: {trustedTypes, ...(frames ? {} : {requestAnimationFrame: () => {}})},
        before: (window) => Object.defineProperty(window.navigator, 'serviceWorker', {
            value: {register: async (url) => registered.push(url) && register()},
        }),
    });
    page.exports.registerWorker();
    return {page, registered};
}

test('the worker is registered once the page is drawn, or soon where no frame comes, through the page\'s policy', async (t) => {
    // The first frame comes at 16 ms; then the page's work is done.
    for (const [frames, before, by] of [[true, 15, 20], [false, 249, 250]]) {
        const {page, registered} = registering(t, async () => {}, undefined, frames);
        page.tick(before);
        await flush();
        assert.deepEqual(registered, [], `not by ${before} ms`);
        for (const ms of [by - before, 1000]) {
            page.tick(ms);
            await flush();
            assert.deepEqual(registered, ['service_worker.js'], `once, by ${by} ms`);
        }
    }
    const policies = {};
    const trustedTypes = {createPolicy: (name, rules) => {
        policies[name] = rules;
        return {createScriptURL: (url) => ({trusted: rules.createScriptURL(url)})};
    }};
    const {page, registered} = registering(t, async () => { throw new Error('refused'); }, trustedTypes);
    page.tick(300);
    await flush();
    assert.deepEqual([registered, Object.keys(policies)], [[{trusted: 'service_worker.js'}], ['hitblow']], 'and plays on when refused');
    assert.throws(() => policies.hitblow.createScriptURL('evil.js'), {name: 'TypeError', message: 'not this page\'s script: evil.js'});
    openPage(t, ['worker_registration.js'], ['registerWorker']).exports.registerWorker(); // a browser without service workers
});
