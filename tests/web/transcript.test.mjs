// The page's transcript, tested in Node over jsdom: blocks heard apart and in order, notes, a run brought back unheard, the scrollback and the end in view.
//
// usage: node --test tests/web/transcript.test.mjs

import assert from 'node:assert/strict';
import {test} from 'node:test';

import {layOut, openPage} from './page.mjs';

// A fresh transcript on the page, and what stands on it.
function openTranscript(t)
{
    const page = openPage(t, ['transcript.js'], ['Transcript', 'KEPT_LINES', 'HEARD_GAP_MS']);
    const {document} = page;
    const [log, earlier, view] = ['log', 'earlier', 'view'].map((id) => document.getElementById(id));
    const {Transcript, KEPT_LINES, HEARD_GAP_MS} = page.exports;
    const blocks = (parent) => [...parent.children].map((block) => block.textContent);
    return {
        page, log, earlier, view, KEPT_LINES, HEARD_GAP_MS,
        transcript: new Transcript(log, earlier, view),
        heard: () => blocks(log),
        unheard: () => blocks(earlier),
        shown: () => document.getElementById('transcript').textContent,
    };
}

test('each batch is one block, heard at least the gap after the one before', (t) => {
    const {page, transcript, heard, log, HEARD_GAP_MS} = openTranscript(t);
    transcript.print('menu\n');
    transcript.print('prompt:');
    assert.deepEqual(heard(), [], 'nothing stands before the game has done its work');
    page.tick(1);
    assert.deepEqual(heard(), ['menu\nprompt:']);
    transcript.echo('1\n');
    transcript.print('settings\n');
    transcript.note('a note');
    transcript.print('next:');
    page.tick(HEARD_GAP_MS - 2);
    assert.deepEqual(heard(), ['menu\nprompt:1\n'], 'the echo joins the block it was typed after, at once');
    page.tick(1);
    assert.deepEqual(heard(), ['menu\nprompt:1\n', 'settings\n']);
    page.tick(HEARD_GAP_MS - 1);
    assert.equal(heard().length, 2);
    page.tick(1);
    assert.deepEqual(heard().slice(2), ['a note']);
    assert.equal(log.children[2].className, 'note');
    page.tick(HEARD_GAP_MS);
    assert.deepEqual(heard().slice(3), ['next:'], 'text after a note is a block of its own');
    assert.deepEqual([...log.querySelectorAll('[aria-hidden="true"]')].map((span) => span.className || span.textContent),
        ['1\n', 'typed'], 'the echo and the line being typed are hidden from screen readers');
    assert.ok(log.lastChild.lastChild.classList.contains('typed'), 'the line being typed ends the last block');
});

test('a block placed long after the last is placed at once', (t) => {
    const {page, transcript, heard, HEARD_GAP_MS} = openTranscript(t);
    transcript.print('a');
    page.tick(HEARD_GAP_MS * 3);
    transcript.print('b');
    page.tick(1);
    assert.deepEqual(heard(), ['a', 'b']);
});

test('then() runs once all that was added before stands', (t) => {
    const {page, transcript, heard, HEARD_GAP_MS} = openTranscript(t);
    const ran = [];
    transcript.then(() => ran.push('at once'));
    assert.deepEqual(ran, ['at once'], 'with nothing waiting, at once');
    transcript.print('one');
    page.tick(1);
    transcript.print('two');
    transcript.then(() => ran.push(heard().join('|')));
    transcript.then(() => ran.push('and the next'));
    page.tick(HEARD_GAP_MS - 2);
    assert.equal(ran.length, 1);
    page.tick(1);
    assert.deepEqual(ran, ['at once', 'one|two', 'and the next']);
    page.tick(HEARD_GAP_MS);
    assert.equal(ran.length, 3, 'each runs once');
});

test('a run brought back is placed unheard and at once, then heard again', (t) => {
    const {page, transcript, heard, unheard, HEARD_GAP_MS} = openTranscript(t);
    transcript.silence(true);
    transcript.print('menu:');
    transcript.echo('0\n');
    page.tick(1);
    transcript.print('question:');
    transcript.note('kept apart');
    page.tick(1);
    assert.deepEqual(unheard(), ['menu:0\n', 'question:', 'kept apart']);
    transcript.print('waiting');
    transcript.silence(false);
    assert.deepEqual(unheard().slice(3), ['waiting'], 'what waits when the run is heard again stays unheard');
    transcript.silence(false);
    transcript.print('heard');
    page.tick(1);
    assert.deepEqual(heard(), ['heard'], 'heard at once: nothing was heard before');
    transcript.print('next');
    page.tick(HEARD_GAP_MS - 2);
    assert.deepEqual(heard(), ['heard']);
    page.tick(1);
    assert.deepEqual(heard(), ['heard', 'next']);
    transcript.clear();
    assert.deepEqual([heard(), unheard()], [[], []]);
    transcript.echo('typed first\n');
    assert.deepEqual(heard(), ['typed first\n'], 'an echo before any text of the game stands alone');
});

test('clear() forgets what waits', (t) => {
    const {page, transcript, heard} = openTranscript(t);
    const ran = [];
    transcript.print('old');
    transcript.then(() => ran.push('old'));
    transcript.clear();
    page.tick(1000);
    assert.deepEqual([heard(), ran], [[], []]);
});

// The last `count` lines of `text`.
function lastLines(text, count)
{
    return text.split('\n').slice(-count).join('\n');
}

// Plays `steps` ({print}, {echo}, or {wait: true} for the game's next wait) and checks after each that the
// page keeps every one of the last KEPT_LINES lines, and at most twice as many as those.
function checkScrollback(t, name, steps)
{
    const {page, transcript, shown, KEPT_LINES, HEARD_GAP_MS} = openTranscript(t);
    let all = '';
    for (const step of steps) {
        if (step.print !== undefined)
            transcript.print(step.print);
        if (step.echo !== undefined)
            transcript.echo(step.echo);
        all += step.print ?? step.echo ?? '';
        page.tick(HEARD_GAP_MS);
        const text = shown();
        assert.ok(text.endsWith(lastLines(all, KEPT_LINES)), `${name}: the last ${KEPT_LINES} lines, after ${JSON.stringify(step).slice(0, 40)}`);
        assert.ok(text.split('\n').length <= 2 * KEPT_LINES + 1, `${name}: ${text.split("\\n").length} lines stand`);
    }
}

// The README game's turns, then a paste of `lines` blank lines, then the game played on, a block a batch.
const game = (turns) => Array.from({length: turns}, (_, i) => [
    {print: `HIT  :0\nBLOW :0\n${i + 1}回目:123 HIT:0 BLOW:0 \n3つの数字を入力してください。\n1つ目の数字:`},
    {echo: '1\n'}, {print: '2つ目の数字:'}, {echo: '2\n'}, {print: '3つ目の数字:'}, {echo: '3\n'},
]).flat();

test('the scrollback keeps the last lines after a paste of any size', (t) => {
    for (const lines of [1000, 3000, 10000, 100000])
        checkScrollback(t, `a paste of ${lines} lines`, [...game(3), {echo: '\n'.repeat(lines)}, ...game(40)]);
});

test('the scrollback keeps the last lines whatever the game prints at once', (t) => {
    const listing = Array.from({length: 5000}, (_, i) => `line ${i}\n`).join('');
    checkScrollback(t, 'long listings', [{print: listing}, {echo: 'x\n'}, {print: listing.slice(0, 3000)}, {print: 'more\n'},
        {echo: 'y\n'.repeat(2500)}, {echo: 'z\n'.repeat(2500)}, {print: listing}]);
});

test('pastes into a waiting block are kept to its last lines too', (t) => {
    const {page, transcript, shown, KEPT_LINES} = openTranscript(t);
    transcript.print('prompt:');
    transcript.echo(Array.from({length: 3000}, (_, i) => `${i}\n`).join(''));
    transcript.print('after');
    page.tick(1);
    assert.equal(shown(), `${Array.from({length: KEPT_LINES}, (_, i) => `${i + 1000}\n`).join('')}after`);
});

test('the end stays in view as the page changes size, unless the player scrolled away', (t) => {
    const {page, transcript, view, log} = openTranscript(t);
    layOut(view, () => 100 * log.children.length, 150);
    transcript.print('one');
    page.tick(20);
    transcript.print('two');
    page.tick(300);
    assert.equal(view.scrollTop, 50, 'each block brought into view');
    view.scrollTop = 0;
    view.dispatchEvent(new page.window.Event('scroll'));
    page.resize();
    assert.equal(view.scrollTop, 0, 'a player who scrolled up is left there');
    view.scrollTop = 49;
    view.dispatchEvent(new page.window.Event('scroll'));
    page.resize();
    assert.equal(view.scrollTop, 50, 'an end in view, within two pixels, stays in view');
    view.scrollTop = 0;
    view.dispatchEvent(new page.window.Event('scroll'));
    transcript.edit('1');
    transcript.edit('1');
    page.tick(20);
    assert.equal(view.scrollTop, 50, 'typing brings the end back into view');
});

test('the line being typed and the caret', (t) => {
    const {page, transcript, log} = openTranscript(t);
    transcript.print('prompt:');
    page.tick(1);
    transcript.edit('12');
    const typed = log.querySelector('.typed');
    assert.equal(typed.textContent, '12');
    transcript.showCaret(false);
    assert.equal(typed.querySelector('.caret').hidden, true);
    transcript.showCaret(true);
    assert.equal(typed.querySelector('.caret').hidden, false);
});
