// Browser tests: serves the built site on a loopback port, as a static host would.

import {existsSync, readFileSync, statSync} from 'node:fs';
import {createServer} from 'node:http';
import {extname, join, normalize} from 'node:path';
import {gzipSync} from 'node:zlib';

const TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
               '.json': 'application/json', '.webmanifest': 'application/manifest+json', '.png': 'image/png',
               '.svg': 'image/svg+xml'};

// A script put first in index.html's head, alike in every engine: the page's clock stopped at `time`, so that the
// game's answers are known; and the transcript's text as each frame that changed it drew it, in window.testFrames.
function testScript(time)
{
    return `'use strict';
{
    const fixed = ${time.getTime()};
    const RealDate = Date;
    globalThis.Date = class extends RealDate {
        constructor(...args) { if (args.length === 0) super(fixed); else super(...args); }
        static now() { return fixed; }
    };
    globalThis.testFrames = [];
    let changed = true;
    new MutationObserver(() => { changed = true; }).observe(document, {childList: true, subtree: true, characterData: true, attributes: true});
    const frame = () => {
        if (changed)
            testFrames.push(document.getElementById('transcript')?.innerText.trimEnd() ?? '');
        changed = false;
        requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
}
`;
}
export const TEST_SCRIPT_PATH = 'test-page.js';

// Serves `dir` alone on a free loopback port, under the folder `base`, compressed where `gzip` says, as a static
// host does.  `fixedTime` (or later `site.fixedTime`) stops the page's clock; `setDir(dir)` puts up another site;
// `offline` fails every request; `gone` names a file that is not found; `held` one that is answered once
// `site.release()` is called.
export async function serveSite(dir, {base = '/', gzip = false, fixedTime = null, gone = null, held = null} = {})
{
    let release;
    const released = held === null ? null : new Promise((resolve) => { release = resolve; });
    const site = {dir, offline: false, fixedTime, gone, release};
    const server = createServer(async (request, response) => {
        const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
        if (site.offline) {
            request.socket.destroy();
            return;
        }
        if (!path.startsWith(base)) {
            response.writeHead(404).end();
            return;
        }
        const name = path.slice(base.length);
        if (name === held)
            await released;
        if (site.fixedTime !== null && name === TEST_SCRIPT_PATH) {
            response.writeHead(200, {'Content-Type': TYPES['.js']}).end(testScript(site.fixedTime));
            return;
        }
        let file = normalize(join(site.dir, name));
        if (existsSync(file) && statSync(file).isDirectory())
            file = join(file, 'index.html');
        if (!file.startsWith(normalize(site.dir)) || !existsSync(file) || name === site.gone) {
            response.writeHead(404).end();
            return;
        }
        let body = readFileSync(file);
        if (site.fixedTime !== null && extname(file) === '.html')
            body = Buffer.from(body.toString().replace('<head>', `<head>\n<script src="${TEST_SCRIPT_PATH}"></script>`));
        const headers = {'Content-Type': TYPES[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache'};
        if (gzip && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
            body = gzipSync(body);
            headers['Content-Encoding'] = 'gzip';
        }
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
