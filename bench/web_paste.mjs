// Times big pastes into the browser edition in Debian's Chromium: how long the page takes them, and answers the next key.
//
// usage: node bench/web_paste.mjs [SITE_DIR]   (SITE_DIR: build/web/site, from cmake --workflow --preset web)
//
// Two pastes at the level menu: a line of 4 MB, of which the game gets the
// first 4,095 characters (a token that chooses the hard level), and a
// megabyte of short blank lines, after which -1 quits.  For each it prints
// the time the paste event took to handle (the line discipline's work and its
// one echo), the time until the screen showed the next key typed after it,
// and the time until the game had answered.

import {openBrowser} from '../tests/web/drivers.mjs';
import {Player} from '../tests/web/scenarios.mjs';
import {serveSite} from '../tests/web/site_server.mjs';

const siteDir = process.argv[2] || 'build/web/site';

const PASTES = {
    'a 4 MB line': {parts: [['0', 4094], ['3', 1], ['9', 4 << 20], ['\r', 1]], answer: '難易度  :hard'},
    'a megabyte of short lines': {parts: [['  \r', (1 << 20) / 3]], then: '-1', answer: 'ゲームを終了します。'},
};

// Pastes `parts` and returns how long, in milliseconds, the paste event took.
function timedPaste(page, parts)
{
    return page.evaluate((pieces) => {
        const data = new DataTransfer();
        data.setData('text/plain', pieces.map(([text, times]) => text.repeat(times)).join(''));
        const start = performance.now();
        document.getElementById('answer').dispatchEvent(
            new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
        return performance.now() - start;
    }, parts); // a paste event as Chromium makes it, through the page's own handlers
}

const site = await serveSite(siteDir);
const browser = await openBrowser('chromium');
try {
    for (const [name, {parts, then = '', answer}] of Object.entries(PASTES)) {
        const page = await browser.newPage('desktop');
        await page.goto(site.url);
        const player = new Player(page, null);
        await player.waitForPrompt('難易度:');
        const start = Date.now();
        const handled = await timedPaste(page, parts);
        await page.type('x');
        await player.waitFor('the key typed after the paste', (lines) => lines.some((line) => line.includes('x')));
        const echoed = Date.now() - start;
        await page.press('Backspace');
        await page.type(then);
        await page.press('Enter');
        await player.waitFor(answer, (lines) => lines.some((line) => line.includes(answer)));
        const answered = Date.now() - start;
        const problems = await page.problemsFound();
        console.log(`${name}: paste handled in ${handled.toFixed(0)} ms; next key shown after ${echoed} ms; ` +
                    `its line answered after ${answered} ms${problems.length > 0 ? '; PROBLEMS: ' + problems.join('; ') : ''}`);
    }
} finally {
    await browser.close();
    await site.close();
}
