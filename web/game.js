// The game's runtime in a browser: runs hitblow.wasm, the console game's sources, pausing it at each read until the page has input.
//
// The wasm imports the page's side of the contract that
// src/platform_web.cpp states, and the four calls of WASI that its C library
// makes.  Built with Asyncify, it can pause: at a read, it unwinds its call
// stack into memory and returns; once the input has come, it is called
// again and rewinds to the read, which returns the input.
'use strict';

// Room for the game's call stack while it waits for a read.
const PAUSED_STACK_SIZE = 4096;

// What asyncify_get_state() returns while the game is called again to go back to where it paused.
const REWINDING = 2;

// Ends the game at its exit(); run() resolves to its `status`.
class GameExit {
    constructor(status)
    {
        this.status = status;
    }
}

// Loads the game (hitblow.wasm, or the bytes `wasm`) to read and show
// through `page` and write its standard error through `printErr`, as text;
// resolves to run(), which runs it to its end and resolves to its exit status.
async function loadGame({page, printErr, wasm = null})
{
    if (wasm === null) {
        const response = await fetch('hitblow.wasm');
        if (!response.ok)
            throw new Error(`hitblow.wasm: ${response.status} ${response.statusText}`);
        wasm = await response.arrayBuffer();
    }
    let game = null;   // the instance's exports
    let paused = 0;    // where the paused stack is kept, its bounds first
    let input = null;  // the read the game waits for, settled once its bytes are in memory
    let got = 0;       // how many bytes that read got
    const bytes = () => new Uint8Array(game.memory.buffer);
    const words = () => new Uint32Array(game.memory.buffer);
    const {instance} = await WebAssembly.instantiate(wasm, {
        page: {
            read: (buf, size) => {
                if (game.asyncify_get_state() === REWINDING) {
                    game.asyncify_stop_rewind();
                    return got;
                }
                input = Promise.resolve(page.read(size)).then((data) => {
                    bytes().set(data, buf);
                    got = data.length;
                });
                words().set([paused + 8, paused + PAUSED_STACK_SIZE], paused / 4);
                game.asyncify_start_unwind(paused);
                return 0;
            },
            show: (text, size) => page.show(bytes().slice(text, text + size)),
            clock: () => page.clock(),
        },
        wasi_snapshot_preview1: {
            // Only standard error goes through the C library's streams, and only ASCII.
            fd_write: (fd, iovs, count, written) => {
                let total = 0;
                for (let at = iovs / 4; at < iovs / 4 + 2 * count; at += 2) {
                    const [start, size] = words().subarray(at, at + 2);
                    printErr(new TextDecoder().decode(bytes().subarray(start, start + size)));
                    total += size;
                }
                words()[written / 4] = total;
                return 0;
            },
            fd_seek: () => 70, // ESPIPE: a stream
            fd_close: () => 0,
            proc_exit: (status) => { throw new GameExit(status); },
        },
    });
    game = instance.exports;
    paused = game.malloc(PAUSED_STACK_SIZE);
    if (paused === 0)
        throw new Error('hitblow.wasm: no memory for a paused stack');
    return async () => {
        try {
            // It returns only when it pauses at a read, and ends at its exit().
            for (game._start(); ; game._start()) {
                game.asyncify_stop_unwind();
                await input;
                game.asyncify_start_rewind(paused);
            }
        } catch (error) {
            if (error instanceof GameExit)
                return error.status;
            throw error;
        }
    };
}
