// The page's transcript (web/transcript.js), tested in Node over jsdom: blocks heard apart, notes, the first screen, a replay, the scrollback, the end in view.

import assert from 'node:assert/strict';
import {test} from 'node:test';

import {openPage} from './page.mjs';

// A transcript on the page, and what stands on it: cleared for a run, or on the page's `firstScreen`.
function openTranscript(t, firstScreen = null)
{
    const page = openPage(t, ['transcript.js'], ['Transcript', 'KEPT_LINES', 'HEARD_GAP_MS'], {firstScreen: firstScreen ?? ''});
    const [log, earlier, view, all] = ['log', 'earlier', 'view', 'transcript'].map((id) => page.document.getElementById(id));
    const {Transcript, KEPT_LINES, HEARD_GAP_MS: GAP} = page.exports;
    const texts = (blocks) => [...blocks].map((block) => block.textContent);
    const transcript = new Transcript(log, earlier, view);
    if (firstScreen === null)
        transcript.clear();
    return {page, log, view, KEPT_LINES, GAP, transcript, stands: () => texts(log.children),
            heard: () => texts(log.querySelectorAll(':scope > :not([aria-hidden="true"])')), silent: () => texts(earlier.children),
            shown: () => all.textContent};
}

test('each batch is one block, standing at once, heard whole at least the gap after the one before; notes are blocks', (t) => {
    const {page, transcript, stands, heard, log, GAP} = openTranscript(t);
    transcript.print('menu\n');
    transcript.print('prompt:');
    assert.deepEqual(stands(), [], 'nothing stands before the game has done its work');
    page.tick(1);
    transcript.echo('1\n');
    transcript.print('settings\n');
    transcript.note('a note');
    transcript.print('next:');
    page.tick(1);
    assert.deepEqual(stands(), ['menu\nprompt:1\n', 'settings\n', 'a note', 'next:'],
        'one block a batch, standing at once, the echo joining the block it was typed after');
    page.tick(GAP - 3);
    assert.deepEqual(heard(), ['menu\nprompt:1\n']);
    for (const [i, block] of ['settings\n', 'a note', 'next:'].entries()) {
        page.tick(1);
        assert.equal(heard()[i + 1], block);
        page.tick(GAP - 1);
        assert.equal(heard().length, i + 2, `nothing more heard ${GAP - 1} ms after ${block}`);
    }
    assert.equal(log.children[2].className, 'note');
    page.tick(GAP * 3);
    transcript.print('later');
    page.tick(1);
    assert.equal(heard().pop(), 'later', 'a block long after the last is heard at once');
    assert.deepEqual([...log.querySelectorAll('[aria-hidden="true"]')].map((span) => span.className || span.textContent),
        ['1\n', 'typed'], 'the echo and the line being typed are hidden from screen readers, the line ending the last block');
    assert.ok(log.lastChild.lastChild.classList.contains('typed'));
    for (const [line, caret] of [['12', false], ['1', true]]) {
        transcript.edit(line);
        transcript.showCaret(caret);
        assert.deepEqual([log.querySelector('.typed').textContent, log.querySelector('.caret').hidden], [line, !caret]);
    }
});

test('then() runs once all added before stands; a run brought back is silent and whole at once; clear() forgets', (t) => {
    const {page, transcript, stands, heard, silent, GAP} = openTranscript(t);
    const ran = [];
    transcript.then(() => ran.push('at once'));
    assert.deepEqual(ran, ['at once'], 'with nothing waiting, at once');
    transcript.silence(true);
    transcript.print('menu:');
    transcript.echo('0\n');
    page.tick(1);
    transcript.print('question:');
    transcript.note('kept apart');
    transcript.then(() => ran.push(silent().join('|')));
    transcript.print('waiting');
    page.tick(GAP);
    transcript.silence(false);
    transcript.silence(false);
    assert.deepEqual([silent(), ran], [[], ['at once']], 'a run brought back stands only once it is whole');
    transcript.print('heard');
    transcript.placeAll(); // the game waits
    assert.deepEqual([ran, stands()], [['at once', 'menu:0\nquestion:|kept apart|waiting'], ['heard']],
        'then, at once, with what the game printed next');
    transcript.print('next');
    transcript.then(() => ran.push(stands().join('|')));
    transcript.then(() => ran.push('and the next'));
    page.tick(1);
    assert.deepEqual([heard(), ran.slice(2)], [['heard'], ['heard|next', 'and the next']],
        'heard at once, as nothing was heard before; the next stands, to be heard in its turn');
    transcript.print('old');
    transcript.then(() => ran.push('old'));
    transcript.clear();
    page.tick(GAP * 2);
    assert.deepEqual([stands(), silent(), ran.length], [[], [], 4]);
    transcript.echo('typed first\n');
    assert.deepEqual(stands(), ['typed first\n'], 'an echo before any text of the game stands alone');
});

// Plays `steps` ({print} or {echo}, each a batch), checking after each that the page keeps every one of
// the last KEPT_LINES lines, and at most twice as many, and counts what stands.
function checkScrollback(t, name, steps)
{
    const {page, transcript, shown, KEPT_LINES, GAP} = openTranscript(t);
    let all = '';
    for (const step of steps) {
        const [[kind, text]] = Object.entries(step);
        transcript[kind](text);
        all += text;
        page.tick(GAP);
        const lines = shown().split('\n');
        assert.deepEqual(lines.slice(-KEPT_LINES), all.split('\n').slice(-KEPT_LINES), `${name}, after ${kind} ${text.slice(0, 20)}`);
        assert.ok(lines.length <= 2 * KEPT_LINES + 1 && transcript.lines === lines.length - 1, `${name}: ${lines.length} lines stand`);
    }
}

test('the first screen stands, heard once the game has printed it, which adds nothing, or once something follows it', (t) => {
    const MENU = 'menu\nprompt:';
    // [what happens before the game prints, what it prints, what then stands, why]
    for (const [before, printed, after, why] of [
        [() => {}, ['menu\n', 'prompt:'], [MENU], 'the game\'s own first text'],
        [(transcript) => transcript.echo('1\n'), ['menu\n', 'prompt:', 'next:'], [`${MENU}1\n`, 'next:'], 'typed before the game ran'],
        [() => {}, ['other:', 'menu\n'], [MENU, 'other:menu\n'], 'a first screen that is not the game\'s'],
        [(transcript) => transcript.note('no game'), [], [MENU, 'no game'], 'a note, as of a game that could not start'],
    ]) {
        const {page, transcript, stands, heard, log} = openTranscript(t, MENU);
        const first = log.firstElementChild;
        page.tick(1);
        assert.deepEqual(heard(), [], `${why}: unheard while the game is yet to print it`);
        before(transcript);
        printed.forEach((text) => transcript.print(text));
        page.tick(1);
        assert.deepEqual([stands(), heard(), log.firstElementChild], [after, after.slice(0, 1), first], why);
    }
    const {transcript, stands, log} = openTranscript(t, MENU);
    transcript.edit('12');
    assert.deepEqual([stands(), transcript.lines], [[`${MENU}12`], 1], 'the line being typed follows it');
    transcript.clear();
    assert.deepEqual([stands(), log.querySelector('.typed'), transcript.lines], [[], null, 0], 'a new run\'s transcript is empty');
});

test('the scrollback keeps the last lines after a paste of any size, and after long listings', (t) => {
    const turns = (count) => Array.from({length: count}, (_, i) => [
        {print: `HIT  :0\nBLOW :0\n${i + 1}回目:123 HIT:0 BLOW:0 \n3つの数字を入力してください。\n1つ目の数字:`},
        {echo: '1\n'}, {print: '2つ目の数字:'}, {echo: '2\n'}, {print: '3つ目の数字:'}, {echo: '3\n'}]).flat();
    for (const lines of [1000, 3000, 10000, 100000])
        checkScrollback(t, `a paste of ${lines} lines`, [...turns(3), {echo: '\n'.repeat(lines)}, ...turns(40)]);
    const listing = Array.from({length: 5000}, (_, i) => `line ${i}\n`).join('');
    checkScrollback(t, 'long listings', [{print: listing}, {echo: 'x\n'}, {print: listing.slice(0, 3000)}, {print: 'more\n'},
        {echo: 'y\n'.repeat(2500)}, {echo: 'z\n'.repeat(2500)}, {print: listing}, {print: listing.slice(0, 500)},
        ...Array(30).fill({echo: '\n'.repeat(50)})]);
    // A block dropped from the scrollback before it was heard takes no turn to be heard.
    const {page, transcript, heard, GAP, KEPT_LINES: K} = openTranscript(t);
    for (const batch of ['a\n', 'b\n', 'c\n']) {
        transcript.print(batch.repeat(K));
        page.tick(1);
    }
    page.tick(GAP - 3);
    assert.deepEqual(heard().map((text) => text[0]), ['c'], 'the last block heard a gap after the first');
    // A block not yet heard is cut to its last lines, the oldest of them whole.
    const numbered = (from, to) => Array.from({length: to - from}, (_, i) => `${from + i}\n`).join('');
    for (const [head, count, kept] of [['prompt:', K + 1000, numbered(1000, K + 1000)], ['a\nb\nxyz', K, `xyz${numbered(0, K)}`],
        ['prompt:', K, `prompt:${numbered(0, K)}`]]) {
        const {page, transcript, shown} = openTranscript(t);
        transcript.print(head);
        transcript.echo(numbered(0, count));
        transcript.print('after');
        page.tick(1);
        assert.equal(shown(), `${kept}after`, `${JSON.stringify(head)} and ${count} lines`);
    }
});

test('the end stays in view as the page changes size, unless the player scrolled away', (t) => {
    const {page, transcript, view, log} = openTranscript(t);
    let [top, high] = [0, 150]; // jsdom lays nothing out: a view `high` px high, each block 100 px
    const height = () => 100 * log.children.length;
    Object.defineProperties(view, {
        scrollHeight: {get: height}, clientHeight: {get: () => high},
        scrollTop: {get: () => top, set: (value) => { top = Math.min(value, Math.max(0, height() - high)); }},
    });
    const scrolled = () => view.dispatchEvent(new page.window.Event('scroll')); // as a browser sends it, later
    const scrollTo = (to) => {
        view.scrollTop = to;
        scrolled();
    };
    transcript.print('one');
    page.tick(20);
    transcript.print('two');
    page.tick(300);
    assert.equal(view.scrollTop, 50, 'each block brought into view');
    // [where the player scrolls to, what then changes, where the view stands after]
    for (const [to, change, after, why] of [[0, () => page.resize(), 0, 'a player who scrolled up is left there'],
        [48, () => page.resize(), 50, 'an end in view, within two pixels, stays'],
        [0, () => { transcript.edit(''); page.tick(20); }, 0, 'a key that leaves the line as it was'],
        [0, () => { transcript.edit('1'); page.tick(20); }, 50, 'typing brings the end back into view'],
        [0, () => { transcript.echo('2\n'); page.resize(); }, 50, 'what is typed is followed, even before its frame'],
        [0, () => { transcript.edit('2'); page.tick(20); high = 100; scrolled(); page.resize(); }, 100,
         'the page\'s own scroll is followed though its event comes once the view is lower, as WebKit\'s can'],
        [0, () => { scrollTo(100); high = 50; page.resize(); }, 150, 'a player back at the end is followed again']]) {
        scrollTo(to);
        change();
        assert.equal(view.scrollTop, after, why);
    }
});
