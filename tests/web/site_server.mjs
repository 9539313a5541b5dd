// Browser tests: serves the built site on a loopback port, as a static host would.

import {createHash} from 'node:crypto';
import {existsSync, readFileSync, statSync} from 'node:fs';
import {createServer} from 'node:http';
import {extname, join, normalize} from 'node:path';
import {gzipSync} from 'node:zlib';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript',
    '.css': 'text/css',
    '.wasm': 'application/wasm',
    '.json': 'application/json',
    '.webmanifest': 'application/manifest+json',
    '.png': 'image/png',
    '.svg': 'image/svg+xml',
};

// The page's clock stopped at `time`, for every engine alike: a script that
// the server puts first in index.html, so that it runs before the page's own.
// The game seeds its answers from the clock, so the answers are known.
// setTestClock(ms) moves that page's clock.
function clockScript(time)
{
    return `'use strict';
{
    let fixed = ${time.getTime()};
    const RealDate = Date;
    globalThis.Date = class extends RealDate {
        constructor(...args) { if (args.length === 0) super(fixed); else super(...args); }
        static now() { return fixed; }
    };
    globalThis.setTestClock = (ms) => { fixed = ms; };
}
`;
}
export const CLOCK_PATH = 'test-clock.js';

// Serves the files of `dir`, and nothing else, on a free loopback port, under
// the folder `base` ('/' for the top).  Each file has an entity tag, and a
// request that names the file's tag is answered "not modified", as a static
// host answers.  With `gzip`, every file is sent compressed where the
// browser accepts it.  With `fixedTime`, the page's clock
// stands still at that time; `site.fixedTime` moves it for the pages loaded
// after.  `setDir(dir)` swaps in another
// site, as a host does when a new release is put up; `offline` makes every
// request fail, as with the network gone; `requests` lists every path asked for,
// and `bytesByPath` counts the bytes of the bodies sent for each, as sent.
export async function serveSite(dir, {base = '/', gzip = false, fixedTime = null} = {})
{
    const site = {dir, offline: false, requests: [], bytesByPath: {}, fixedTime};
    const server = createServer((request, response) => {
        const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
        site.requests.push(path);
        if (site.offline) {
            request.socket.destroy();
            return;
        }
        if (!path.startsWith(base)) {
            response.writeHead(404).end();
            return;
        }
        const name = path.slice(base.length);
        if (site.fixedTime !== null && name === CLOCK_PATH) {
            response.writeHead(200, {'Content-Type': TYPES['.js']}).end(clockScript(site.fixedTime));
            return;
        }
        let file = normalize(join(site.dir, name));
        if (existsSync(file) && statSync(file).isDirectory())
            file = join(file, 'index.html');
        if (!file.startsWith(normalize(site.dir)) || !existsSync(file)) {
            response.writeHead(404).end();
            return;
        }
        let body = readFileSync(file);
        if (site.fixedTime !== null && extname(file) === '.html')
            body = Buffer.from(body.toString().replace('<script ', `<script defer src="${CLOCK_PATH}"></script>\n<script `));
        const tag = `W/"${createHash('sha256').update(body).digest('hex').slice(0, 16)}"`;
        const headers = {'Content-Type': TYPES[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache',
                         'ETag': tag};
        if (request.headers['if-none-match'] === tag) {
            response.writeHead(304, headers).end();
            return;
        }
        if (gzip && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
            body = gzipSync(body);
            headers['Content-Encoding'] = 'gzip';
        }
        site.bytesByPath[path] = (site.bytesByPath[path] || 0) + body.length;
        response.writeHead(200, headers);
        response.end(body);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    site.origin = `http://127.0.0.1:${server.address().port}`;
    site.url = site.origin + base;
    site.setDir = (newDir) => { site.dir = newDir; };
    site.close = () => new Promise((resolve) => { server.closeAllConnections?.(); server.close(resolve); });
    return site;
}
