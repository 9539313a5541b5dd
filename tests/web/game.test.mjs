// The game's runtime (web/game.js), tested in Node with the built hitblow.wasm: every transcript, its input read in pieces.
//
// usage: node game.test.mjs [SITE_DIR], build/web/site of the source tree by default

import assert from 'node:assert/strict';
import {readdirSync, readFileSync} from 'node:fs';
import {join} from 'node:path';
import {test} from 'node:test';
import {fileURLToPath} from 'node:url';
import vm from 'node:vm';

import {requireSite} from './harness.mjs';

const source = new URL('../../', import.meta.url);
const siteDir = process.argv[2] ?? fileURLToPath(new URL('build/web/site', source));
requireSite(siteDir);
// `process` for where a mutation test's changed code finds which change is on (npm run mutation).
const context = vm.createContext({TextDecoder, WebAssembly, process: {env: process.env}});
vm.runInContext(readFileSync(new URL('web/game.js', source), 'utf8'), context);
const wasm = readFileSync(join(siteDir, 'hitblow.wasm'));
const transcripts = new URL('tests/transcripts/', source);
// The second at which the transcripts' clock stands.
const SECONDS = Number(readFileSync(new URL('CMakeLists.txt', source), 'utf8').match(/set\(HITBLOW_FIXED_CLOCK (\d+)/)[1]);

// Plays the game on `input`, handing it over in pieces of at most `piece` bytes as each read asks; returns what
// it showed, decoded, and its exit status.
async function play(input, piece)
{
    let at = 0;
    const shown = [];
    const run = await context.loadGame({
        wasm,
        page: {
            read: async (size) => input.subarray(at, at += Math.min(size, piece)),
            show: (bytes) => shown.push(...bytes),
            clock: () => SECONDS,
        },
        printErr: (text) => assert.fail(`the game said: ${text}`),
    });
    const status = await run();
    return [new TextDecoder('shift_jis').decode(new Uint8Array(shown)), status];
}

test('every transcript plays byte for byte, however its input is handed over, and ends with 0', async () => {
    const names = readdirSync(transcripts).filter((file) => file.endsWith('.in')).map((file) => file.slice(0, -3));
    assert.ok(names.length > 10);
    for (const name of names) {
        const input = readFileSync(new URL(`${name}.in`, transcripts));
        const output = readFileSync(new URL(`${name}.out`, transcripts), 'utf8');
        for (const piece of [1, 7, Infinity])
            assert.deepEqual(await play(input, piece), [output, 0], `${name}, in pieces of ${piece}`);
    }
});
