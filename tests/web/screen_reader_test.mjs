// Browser tests: what the Orca screen reader presents of the README's game, heard through the desktop's accessibility bus.
//
// Under with_orca.sh (CMakeLists.txt says how), plays the README's game in a headed ENGINE (chromium or firefox),
// with a refused answer at the level menu and at a digit prompt, waiting after each until Orca has presented all it
// queued.  Orca logs each live region message (ORCA_LOG) after "vvvvv PRESENT LIVE REGION MESSAGE vvvvv", its text
// in the first "BRAILLE: Not contracting '...'".  What it presented must be every line the game printed, once each
// and in order, none of the answers, then the page's word that the run has ended.  Exits as harness.mjs says.
//
// The game's wasm is held back until Orca takes in events from the page's document: the first screen is heard
// once the game prints it, and a busy machine's Orca, still busy with the window, would pass over it.

import {readFileSync} from 'node:fs';

import {openBrowser, requireEngine} from './drivers.mjs';
import {requireSite, runMain, skip} from './harness.mjs';
import {FIXED_TIME, Player} from './scenarios.mjs';
import {serveSite} from './site_server.mjs';

const [engine, siteDir, readmePath] = process.argv.slice(2);
const LOG = process.env.ORCA_LOG;
const REGION_NAME = 'ゲーム / Game';
const SETTLE_MS = 15000; // the longest wait for Orca to present an answer's reply
const QUIET_MS = 600;    // how long Orca must present nothing more for an answer's reply to be all

// What Orca has logged of each live region message so far.
const logged = () => readFileSync(LOG, 'utf8').replaceAll('\r', '').split('vvvvv PRESENT LIVE REGION MESSAGE vvvvv').slice(1);

// Waits until Orca has presented `count` messages or more, the last of
// them with none left in its queue, and then presents nothing more for a while.
async function settle(count)
{
    const deadline = Date.now() + SETTLE_MS;
    let last = -1;
    let since = Date.now();
    while (Date.now() < deadline) {
        const blocks = logged();
        const seen = blocks.length;
        const drained = seen > 0 && blocks[seen - 1].includes('messages in queue: 0') &&
            blocks[seen - 1].includes('^^^^^ PRESENT LIVE REGION MESSAGE');
        if (seen !== last) {
            last = seen;
            since = Date.now();
        } else if (seen >= count && drained && Date.now() - since >= QUIET_MS) {
            return;
        }
        await new Promise((resolve) => setTimeout(resolve, 100));
    }
}

// Waits until Orca's log has a line that matches `pattern`.
async function waitForLog(what, pattern)
{
    const deadline = Date.now() + SETTLE_MS;
    while (!pattern.test(readFileSync(LOG, 'utf8'))) {
        if (Date.now() > deadline)
            throw new Error(`waited in vain for ${what}`);
        await new Promise((resolve) => setTimeout(resolve, 100));
    }
}

// The lines of the messages Orca presented, each without the region's name that leads it.
const presentedLines = () => logged()
    .map((block) => block.match(/BRAILLE: Not contracting '([\s\S]*?)' because contracted braille/)?.[1] ?? block.slice(0, 200))
    .flatMap((message) => message.replace(/^\s*/, '').replace(REGION_NAME, '').split('\n').map((line) => line.trim()).filter(Boolean));

async function main()
{
    if (!LOG)
        skip('ORCA_LOG is not set: run it under with_orca.sh');
    requireEngine(engine);
    requireSite(siteDir);

    const site = await serveSite(siteDir, {fixedTime: FIXED_TIME, held: 'hitblow.wasm'});
    const browser = await openBrowser(engine, {headed: true});
    let printed;
    let ended;
    try {
        const page = await browser.newPage('desktop 1280x800');
        const player = new Player(page, readmePath, site);
        const loaded = page.goto(site.url);
        await waitForLog('Orca to take in the page', /Queueing .*\[document web \| hitblow/);
        site.release();
        await loaded;
        let messages = 0;
        const refuse = {'難易度:': '9', '1つ目の数字:': '12'};
        await player.walkReadmeGame(async (step) => {
            await settle(++messages);
            if (refuse[step.prompt] !== undefined) {
                await player.enter(refuse[step.prompt]);
                delete refuse[step.prompt];
                await player.waitForPrompt(step.prompt);
                await settle(++messages);
            }
            await player.enter(step.typed);
        });
        await settle(messages + 2); // the farewell, then the page's word
        // What the game printed, line by line: the transcript's text but for
        // what the player typed, and for the page's own words.
        printed = await page.evaluate(() => [...document.querySelectorAll('#log > div:not(.note)')]
            .map((block) => [...block.childNodes].filter((node) => node.nodeType === Node.TEXT_NODE)
                .map((node) => node.data).join(''))
            .join('\n').split('\n').map((line) => line.trim()).filter((line) => line !== ''));
        ended = await page.evaluate(() => [...document.querySelectorAll('#log .note')].pop()?.textContent);
        await page.close();
    } finally {
        await browser.close();
        await site.close();
    }

    const heard = presentedLines();
    const endWord = heard.length > 0 && heard[heard.length - 1] === ended;
    const game = endWord ? heard.slice(0, -1) : heard;
    console.log(`${engine}: Orca presented ${game.length} lines for the game's ${printed.length}, ` +
                `${endWord ? 'then' : 'but not'} that the run has ended`);
    if (JSON.stringify(game) !== JSON.stringify(printed) || !endWord) {
        console.log(`FAIL: what Orca presented is not what the game printed, once each and in order, then the end.\n` +
                    `--- printed ---\n${printed.join('\n')}\n--- presented ---\n${heard.join('\n')}\n(Orca's log: ${LOG})`);
        process.exit(1);
    }
    console.log(`${engine}: passed`);
}

runMain(engine, main);
