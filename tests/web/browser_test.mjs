// Browser tests: the site played in Debian's Chromium, driven by Playwright, as a player would play it.
//
// usage: node browser_test.mjs SITE_DIR README.md SCENARIO
//
// Serves SITE_DIR on a loopback port, opens it with the page's clock frozen
// at the second the transcripts use (2026-01-01 00:42:27 UTC: easy's answer
// is 059), and plays SCENARIO (see SCENARIOS below) with the keyboard.  Every
// scenario also requires that no request left the local server and that
// nothing was logged as an error.  Exits 0 when the scenario passes, 1 when
// it fails, and 77, which CTest reports as skipped, with one line saying
// why, where playwright-core or the site is missing.

import {existsSync, readFileSync} from 'node:fs';
import {createServer} from 'node:http';
import {extname, join, normalize} from 'node:path';

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const FIXED_TIME = new Date('2026-01-01T00:42:27Z');
const WAIT_MS = 10000; // the longest wait for the screen to show something

const [siteDir, readmePath, scenarioName] = process.argv.slice(2);

function skip(why)
{
    console.log(`skipped: ${why}`);
    process.exit(77);
}

// Serves the files of `dir`, and nothing else, on a free loopback port.
function serve(dir)
{
    const types = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm'};
    const server = createServer((request, response) => {
        const path = normalize(join(dir, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
        const file = path.endsWith('/') ? join(path, 'index.html') : path;
        if (!file.startsWith(normalize(dir)) || !existsSync(file)) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, {'Content-Type': types[extname(file)] || 'application/octet-stream'});
        response.end(readFileSync(file));
    });
    return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The player's side of the page: the screen as text, typing, waiting.
class Player {
    constructor(page)
    {
        this.page = page;
    }

    // The terminal's rows as the page shows them in its DOM, with the empty
    // rows at the end left out.  A space the game wrote stays, even last on
    // its row; the cursor, where it stands on an empty cell after the text,
    // is left out.
    async screen()
    {
        const rows = await this.page.$$eval('.xterm-rows > div', (divs) => divs.map((div) => {
            const cells = [...div.childNodes].filter((node) =>
                !(node.classList?.contains('xterm-cursor') && node.textContent.trim() === '' && !node.nextSibling));
            return cells.map((node) => node.textContent).join('');
        }));
        const lines = rows.map((row) => row.replace(/\u00a0/g, ' '));
        while (lines.length > 0 && lines[lines.length - 1] === '')
            lines.pop();
        return lines;
    }

    // Waits until `test(lines)` holds for the screen (or for what `read`
    // returns), and returns the lines.
    async waitFor(what, test, read = () => this.screen())
    {
        const deadline = Date.now() + WAIT_MS;
        for (;;) {
            const lines = await read();
            if (test(lines))
                return lines;
            if (Date.now() > deadline)
                throw new Error(`waited in vain for ${what}; the screen shows:\n${lines.join('\n')}`);
            await new Promise((resolve) => setTimeout(resolve, 20));
        }
    }

    // Waits until the last line on the screen is `prompt`, with the cursor after it.
    async waitForPrompt(prompt)
    {
        return this.waitFor(`the prompt "${prompt}"`, (lines) => lines.length > 0 && lines[lines.length - 1] === prompt);
    }

    // Waits until some line on the screen is `line`.
    async waitForLine(line)
    {
        return this.waitFor(`the line "${line}"`, (lines) => lines.includes(line));
    }

    // Types `text` key by key, then Enter.
    async enter(text)
    {
        await this.page.keyboard.type(text);
        await this.page.keyboard.press('Enter');
    }

    // Types `text` through an input method, as a Japanese player types a
    // full-width character: composed, then committed.
    async compose(text)
    {
        const session = await this.page.context().newCDPSession(this.page);
        await session.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length});
        await session.send('Input.insertText', {text});
        await session.detach();
    }

    // The rows of the terminal's accessibility tree, which screen readers
    // read, with the empty rows at the end left out.
    async spoken()
    {
        const lines = await this.page.$$eval('.xterm-accessibility-tree > div', (divs) => divs.map((div) => div.textContent));
        while (lines.length > 0 && lines[lines.length - 1].trim() === '')
            lines.pop();
        return lines;
    }

    // Pastes `text` into the terminal, as the browser does from the clipboard.
    async paste(text)
    {
        await this.page.evaluate((pasted) => {
            const data = new DataTransfer();
            data.setData('text/plain', pasted);
            document.activeElement.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true}));
        }, text);
    }

    async status()
    {
        return this.page.$eval('#status', (element) => element.textContent);
    }

    // Waits for the page to say, outside the terminal, that the run has ended.
    async waitForEnd()
    {
        await this.page.waitForSelector('#again:not([hidden])', {timeout: WAIT_MS});
        return this.status();
    }
}

function check(condition, what)
{
    if (!condition)
        throw new Error(what);
}

const MENU = ['難易度を選択してください。-1で終了', 'practice:0 easy:1 normal:2 hard:3 '];
const FAREWELL = 'ゲームを終了します。';

// The README's short game, split as tests/readme_transcript.sh splits it:
// each line, and where it holds a prompt, the prompt and what was typed.
function readmeGame()
{
    const text = readFileSync(readmePath, 'utf8');
    const block = text.split('<!-- transcript')[1].split('```text\n')[1].split('\n```')[0];
    return block.split('\n').map((line) => {
        const match = line.match(/^(.*(?:難易度|つ目の数字|桁\)|回\)):)(.*)$/);
        return match ? {line, prompt: match[1], typed: match[2]} : {line};
    });
}

// Every scenario plays on a fresh page and throws when something is wrong.
const SCENARIOS = {
    // The README's game, typed key by key at each prompt, shows exactly the
    // README's lines, and the run ends with the farewell.
    async readme_game(player, page)
    {
        check(await page.evaluate(() => document.activeElement?.classList.contains('xterm-helper-textarea')),
              'the terminal does not have the keyboard focus on load');
        const game = readmeGame();
        for (const step of game) {
            if (step.prompt !== undefined) {
                await player.waitForPrompt(step.prompt);
                await player.enter(step.typed);
            }
        }
        await player.waitForEnd();
        const lines = await player.screen();
        const expected = game.map((step) => step.line);
        check(JSON.stringify(lines) === JSON.stringify(expected),
              `the screen is not the README's game:\n${lines.join('\n')}\n--- expected ---\n${expected.join('\n')}`);
        // The accessibility tree follows the screen a little later.
        await player.waitFor('screen readers to be given the same lines',
                              (spoken) => JSON.stringify(spoken) === JSON.stringify(expected), () => player.spoken());
    },

    // Digits pasted at once answer one prompt each, as typed ones would.
    async paste(player)
    {
        await player.waitForPrompt('難易度:');
        await player.enter('1');
        await player.waitForPrompt('1つ目の数字:');
        await player.paste('1 2 3\r');
        const lines = await player.waitForLine('1回目:123 HIT:0 BLOW:0 ');
        check(lines.includes('1つ目の数字:1 2 3') && lines.includes('2つ目の数字:3つ目の数字:HIT  :0'),
              `the pasted digits did not answer the three prompts:\n${lines.join('\n')}`);
    },

    // Backspace takes back a full-width character whole, both its columns;
    // what is typed after it is what the game reads.  The range message shows
    // 0x81 0x60 as the full-width tilde U+FF5E, as code page 932 has it, and
    // not as JIS X 0208's wave dash U+301C: the page relies on the browser's
    // Shift_JIS decoder for that, which is checked too.
    async backspace(player, page)
    {
        await player.waitForPrompt('難易度:');
        await player.compose('０');
        await player.waitForPrompt('難易度:０');
        await page.keyboard.press('Backspace');
        await player.waitForPrompt('難易度:');
        await player.enter('0');
        await player.waitForPrompt('何桁で遊びますか(最大10桁):');
        await page.keyboard.type('1');
        await player.compose('２');
        await page.keyboard.press('Backspace');
        await page.keyboard.press('Backspace');
        await player.enter('11');
        const lines = await player.waitForLine('1\uFF5E10の間でお願いします。');
        check(lines.includes('何桁で遊びますか(最大10桁):11'), `Backspace left something behind:\n${lines.join('\n')}`);
        const tilde = await page.evaluate(() => new TextDecoder('shift_jis').decode(new Uint8Array([0x81, 0x60])));
        check(tilde === '\uFF5E', `the browser's Shift_JIS decoder gives U+${tilde.codePointAt(0).toString(16)} for 0x81 0x60`);
    },

    // Ctrl-D at a digit prompt ends the input: the game says farewell and
    // the page says the run has ended, with status 0.
    async ctrl_d(player, page)
    {
        await player.waitForPrompt('難易度:');
        await player.enter('1');
        await player.waitForPrompt('1つ目の数字:');
        await page.keyboard.press('Control+D');
        await player.waitForLine(`1つ目の数字:${FAREWELL}`);
        const status = await player.waitForEnd();
        check(status.includes('exit status 0'), `the page says: ${status}`);
    },

    // Ctrl-C mid-game ends the run at once, with no farewell.
    async ctrl_c(player, page)
    {
        await player.waitForPrompt('難易度:');
        await player.enter('1');
        await player.waitForPrompt('1つ目の数字:');
        await player.enter('1');
        await player.waitForPrompt('2つ目の数字:');
        await page.keyboard.press('Control+C');
        const status = await player.waitForEnd();
        check(status.includes('interrupted'), `the page says: ${status}`);
        await page.waitForTimeout(200); // for anything the game might still print
        const lines = await player.screen();
        check(lines[lines.length - 1] === '2つ目の数字:^C' && !lines.some((line) => line.includes(FAREWELL)),
              `the run did not stop at once:\n${lines.join('\n')}`);
    },

    // -1 ends the run; the button, or Enter, starts a new one from a fresh
    // state: after a win has unlocked extra, the new run's menu lacks it.
    async new_run(player, page)
    {
        await player.waitForPrompt('難易度:');
        await player.enter('1 0 5 9');
        await player.waitForLine('Pray to Extra Stage!');
        await player.waitForLine('practice:0 easy:1 normal:2 hard:3 extra:5 ');
        await player.enter('-1');
        await player.waitForLine(`難易度:-1`);
        await player.waitForEnd();
        await page.click('#again');
        let lines = await player.waitForPrompt('難易度:');
        check(JSON.stringify(lines) === JSON.stringify([...MENU, '難易度:']), `not a fresh run:\n${lines.join('\n')}`);
        await player.enter('-1');
        await player.waitForEnd();
        await page.keyboard.press('Enter'); // the button has the focus now
        lines = await player.waitForPrompt('難易度:');
        check(JSON.stringify(lines) === JSON.stringify([...MENU, '難易度:']), `Enter did not start a fresh run:\n${lines.join('\n')}`);
    },
};

async function main()
{
    const scenario = SCENARIOS[scenarioName];
    if (scenario === undefined)
        throw new Error(`no scenario "${scenarioName}"; there are: ${Object.keys(SCENARIOS).join(', ')}`);
    let chromium;
    try {
        ({chromium} = await import('playwright-core'));
    } catch {
        skip('playwright-core is not installed (run npm ci at the top of the source tree)');
    }
    if (!existsSync(join(siteDir, 'hitblow.wasm')))
        skip(`there is no site in ${siteDir} (the test web.site builds it, with emscripten)`);

    const server = await serve(siteDir);
    const origin = `http://127.0.0.1:${server.address().port}`;
    // Headless and with no background traffic: this machine's network is
    // closed, and nothing but the page may make requests.
    const browser = await chromium.launch({
        executablePath: CHROMIUM,
        args: ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync'],
    });
    const problems = [];
    try {
        const context = await browser.newContext({viewport: {width: 1000, height: 1500}});
        context.on('request', (request) => {
            const url = new URL(request.url());
            if (url.origin !== origin && url.protocol !== 'data:')
                problems.push(`a request left the local server: ${request.url()}`);
        });
        const page = await context.newPage();
        page.on('console', (message) => {
            if (message.type() === 'error')
                problems.push(`logged as an error: ${message.text()}`);
        });
        page.on('pageerror', (error) => problems.push(`the page threw: ${error.message}`));
        await page.clock.setFixedTime(FIXED_TIME);
        await page.goto(`${origin}/`);
        await scenario(new Player(page), page);
    } finally {
        await browser.close();
        server.close();
    }
    if (problems.length > 0)
        throw new Error(problems.join('\n'));
    console.log(`${scenarioName}: passed`);
}

main().catch((error) => {
    console.log(`FAIL: ${scenarioName}: ${error.message}`);
    process.exit(1);
});
