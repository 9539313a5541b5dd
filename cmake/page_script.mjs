// Writes the page's one script: the game's (Emscripten's hitblow.js), then the page's own scripts in one strict scope.
//
// usage: node page_script.mjs OUT GAME SCRIPT...
// The game's script stands first, as Emscripten wrote it, and defines
// createHitblow; the page's scripts follow in the order given, inside one
// function whose first script's 'use strict' makes it all strict.  Lines
// that hold only a comment, blank lines and indents are left out: they are
// for the sources' readers, and a third of what a first visit would fetch.
// That is safe where no line starts inside a string, so it fails where a
// line has an odd number of backticks or ends in a backslash, the two ways
// a string can span lines; and it fails where the result does not parse.
import {readFileSync, writeFileSync} from 'node:fs';
import vm from 'node:vm';

const [out, game, ...scripts] = process.argv.slice(2);
let page = '';
for (const script of scripts) {
    const text = readFileSync(script, 'utf8');
    text.split('\n').forEach((line, at) => {
        if (line.split('`').length % 2 === 0 || line.endsWith('\\'))
            throw new Error(`${script}:${at + 1}: a string may go on past this line, which leaving lines out would corrupt`);
    });
    page += `\n${text}`;
}
page = page.replace(/\n *\/\/[^\n]*/g, '').replace(/\n[ \n]+/g, '\n');
const result = `// hitblow in a browser: the page's scripts in one file, made when the site is built (cmake/page_script.mjs).
${readFileSync(game, 'utf8')}
(() => {
${page}})();
`;
new vm.Script(result, {filename: out}); // parses it, and throws where it does not
writeFileSync(out, result);
