// Writes the site's page: web/index.html with the game's first screen in its log, and the game's and page's scripts inline, allowed by their hash.
//
// usage: node page_html.mjs OUT TEMPLATE GAME WASM SCRIPT...
// The first screen is what the game (GAME, Emscripten's hitblow.js, and
// WASM) prints before it first waits for the player, taken by running it
// here: the page shows it before any script has run.  The template's
// <script src="page.js"></script>, in its head before its style sheet, so
// that nothing waits for the style sheet to run, becomes one inline script:
// the game's script as it is, then the page's SCRIPTs in the order given,
// inside one function whose first script's 'use strict' makes it all
// strict, called once the HTML is parsed.  The page's policy allows it by
// its SHA-256.  Lines of the page's scripts that hold only a comment, blank
// lines and indents are left out: they are for the sources' readers, and a
// third of what a first visit would fetch.  That is safe where no line
// starts inside a string, so it fails where a line has an odd number of
// backticks or ends in a backslash, the two ways a string can span lines;
// and it fails where the result does not parse.
import {createHash} from 'node:crypto';
import {readFileSync, writeFileSync} from 'node:fs';
import {basename} from 'node:path';
import {fileURLToPath} from 'node:url';
import vm from 'node:vm';

// `html` with `text` as the first screen's, before the line being typed.
export function withFirstScreen(html, text)
{
    const escaped = text.replaceAll('&', '&amp;').replaceAll('<', '&lt;').replaceAll('>', '&gt;');
    const at = html.indexOf('<div id="first-screen"');
    if (at === -1)
        throw new Error('the page has no <div id="first-screen"> for the game\'s first screen');
    const end = html.indexOf('>', at) + 1;
    return html.slice(0, end) + escaped + html.slice(end);
}

// What the game prints before it first reads, decoded: run in a context of its own, its wasm given.
async function firstScreen(game, wasm)
{
    const context = vm.createContext({TextDecoder});
    vm.runInContext(readFileSync(game, 'utf8'), context, {filename: game});
    const shown = [];
    return new Promise((resolve, reject) => {
        context.createHitblow({
            wasmBinary: readFileSync(wasm),
            page: {
                show: (bytes) => shown.push(...bytes),
                read: () => {
                    resolve(new TextDecoder('shift_jis').decode(new Uint8Array(shown)));
                    return new Promise(() => {}); // the game waits for good
                },
                clock: () => 0,
            },
            printErr: (line) => reject(new Error(`the game said: ${line}`)),
        }).then((module) => module.ccall('main', 'number', ['number', 'number'], [0, 0], {async: true}))
            .then(() => reject(new Error('the game ended without reading')), reject);
    });
}

// The game's script, then the page's `scripts` in one strict function, run once the HTML is parsed.
function pageScript(game, scripts)
{
    let code = '';
    for (const file of scripts) {
        const text = readFileSync(file, 'utf8');
        text.split('\n').forEach((line, at) => {
            if (line.split('`').length % 2 === 0 || line.endsWith('\\'))
                throw new Error(`${file}:${at + 1}: a string may go on past this line, which leaving lines out would corrupt`);
        });
        code += `\n${text}`;
    }
    code = code.replace(/\n *\/\/[^\n]*/g, '').replace(/\n[ \n]+/g, '\n');
    const script = `
// hitblow in a browser: the game's script and the page's (${scripts.map((file) => basename(file)).join(', ')}), made one when the site is built (cmake/page_html.mjs).
${readFileSync(game, 'utf8')}
{
const page = () => {${code}};
if (document.readyState === 'loading')
    document.addEventListener('DOMContentLoaded', page);
else
    page();
}
`;
    new vm.Script(script, {filename: 'page.js'}); // parses it, and throws where it does not
    return script;
}

async function main()
{
    const [out, template, game, wasm, ...scripts] = process.argv.slice(2);
    const tag = '<script src="page.js"></script>';
    const html = withFirstScreen(readFileSync(template, 'utf8'), await firstScreen(game, wasm));
    if (!html.includes(tag))
        throw new Error(`${template} has no ${tag} to put the scripts in`);
    const script = pageScript(game, scripts);
    const hash = `'sha256-${createHash('sha256').update(script).digest('base64')}'`;
    const policy = /(script-src [^;"]*)/;
    if (!policy.test(html))
        throw new Error(`${template} has no script-src in its policy for the script's hash`);
    writeFileSync(out, html.replace(tag, () => `<script>${script}</script>`).replace(policy, `$1 ${hash}`));
}

if (process.argv[1] === fileURLToPath(import.meta.url))
    await main();
