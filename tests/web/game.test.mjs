// The game's runtime (web/game.js), tested in Node: the built hitblow.wasm plays every transcript, and small games in WebAssembly's text fail.
//
// usage: node game.test.mjs [SITE_DIR], build/web/site of the source tree by default

import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {test} from 'node:test';
import {fileURLToPath} from 'node:url';
import vm from 'node:vm';

import {requireFile, requireSite} from './harness.mjs';

const source = new URL('../../', import.meta.url);
const siteDir = process.argv[2] ?? fileURLToPath(new URL('build/web/site', source));
requireSite(siteDir);
requireFile('/usr/bin/wasm-as', 'binaryen');
// `process` for where a mutation test's changed code finds which change is on (npm run mutation).
const context = vm.createContext({TextDecoder, WebAssembly, process: {env: process.env}});
vm.runInContext(readFileSync(new URL('web/game.js', source), 'utf8'), context);
const wasm = readFileSync(join(siteDir, 'hitblow.wasm'));
const transcripts = new URL('tests/transcripts/', source);
// The second at which the transcripts' clock stands.
const SECONDS = Number(readFileSync(new URL('CMakeLists.txt', source), 'utf8').match(/set\(HITBLOW_FIXED_CLOCK (\d+)/)[1]);

// Plays the game on `input`, handing it over in pieces of at most `piece` bytes as each read asks; returns what
// it showed, decoded, and its exit status.
async function play(input, piece, game = wasm)
{
    let at = 0;
    const shown = [];
    const run = await context.loadGame({
        wasm: game,
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

// A game written in WebAssembly's text, `wat`, made a wasm by Binaryen's wasm-as.
function assemble(wat)
{
    const dir = mkdtempSync(join(tmpdir(), 'hitblow-game-'));
    try {
        writeFileSync(join(dir, 'game.wat'), wat);
        const made = spawnSync('wasm-as', [join(dir, 'game.wat'), '-o', join(dir, 'game.wasm')], {encoding: 'utf8'});
        assert.equal(made.status, 0, made.stderr);
        return readFileSync(join(dir, 'game.wasm'));
    } finally {
        rmSync(dir, {recursive: true});
    }
}

// A game that fails as the C library does after a failed write: its line to standard error in two pieces (a
// third piece in memory after them, not written), a seek and a close of the stream, then exit() with the bytes
// written plus what each call returned; its malloc() gives `room`.
const failing = (room) => assemble(`(module
    (import "wasi_snapshot_preview1" "fd_write" (func $write (param i32 i32 i32 i32) (result i32)))
    (import "wasi_snapshot_preview1" "fd_seek" (func $seek (param i32 i64 i32 i32) (result i32)))
    (import "wasi_snapshot_preview1" "fd_close" (func $close (param i32) (result i32)))
    (import "wasi_snapshot_preview1" "proc_exit" (func $exit (param i32)))
    (memory (export "memory") 1)
    (data (i32.const 32) "\\40\\00\\00\\00\\10\\00\\00\\00\\50\\00\\00\\00\\06\\00\\00\\00\\40\\00\\00\\00\\07\\00\\00\\00")
    (data (i32.const 64) "hitblow: cannot write\\n")
    (func (export "malloc") (param i32) (result i32) (i32.const ${room}))
    (func (export "_start")
        (call $exit (i32.add (i32.add (call $write (i32.const 2) (i32.const 32) (i32.const 2) (i32.const 8))
                                      (i32.load (i32.const 8)))
                             (i32.add (call $seek (i32.const 2) (i64.const 0) (i32.const 1) (i32.const 16))
                                      (call $close (i32.const 2)))))))`);

test('the wasm fetched or not there; a game that fails, or has no room to pause in', async () => {
    const errors = [];
    const run = await context.loadGame({wasm: failing(1024), page: {}, printErr: (text) => errors.push(text)});
    assert.deepEqual([await run(), errors.join('')], [22 + 70, 'hitblow: cannot write\n'],
        'its line said, 22 bytes written, fd_seek an ESPIPE (70), fd_close 0');
    await assert.rejects(context.loadGame({wasm: failing(0), page: {}, printErr: () => {}}), /no memory for a paused stack/);
    const trap = assemble(`(module (memory (export "memory") 1)
        (func (export "malloc") (param i32) (result i32) (i32.const 1024)) (func (export "_start") (unreachable)))`);
    await assert.rejects((await context.loadGame({wasm: trap, page: {}, printErr: () => {}}))(), {name: 'RuntimeError'});
    const fetched = [];
    const farewell = readFileSync(new URL('eof_at_first_menu.out', transcripts), 'utf8');
    for (const [response, result] of [
        [{ok: true, arrayBuffer: async () => wasm}, (got) => assert.deepEqual(got, [farewell, 0])],
        [{ok: false, status: 404, statusText: 'Not Found'}, (got) => assert.match(got.message, /^hitblow\.wasm: 404 Not Found$/)],
    ]) {
        context.fetch = async (url) => fetched.push(url) && response;
        result(await play(Buffer.alloc(0), 1, null).catch((error) => error));
    }
    assert.deepEqual(fetched, ['hitblow.wasm', 'hitblow.wasm']);
});
