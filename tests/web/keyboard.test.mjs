// The page's keyboard and keypad (web/keyboard.js, web/keypad.js), tested in Node over jsdom: what each key, edit, paste and tap sends.

import assert from 'node:assert/strict';
import {test} from 'node:test';

import {openPage} from './page.mjs';

// The page's keyboard and keypad on a `touch` screen or not, what they have sent and composed, and fire(target,
// Kind, type, init), which fires an event and says whether the page took it from the browser.
function open(t, touch = false)
{
    const page = openPage(t, ['keyboard.js', 'keypad.js'], ['Keyboard', 'startKeypad'], {touch});
    const {document, window} = page;
    const [answer, view] = ['answer', 'view'].map((id) => document.getElementById(id));
    const sent = [];
    const composed = [];
    const keyboard = new page.exports.Keyboard(answer, view, {type: (data) => sent.push(data), compose: (text) => composed.push(text)});
    page.exports.startKeypad(document.getElementById('keypad'), (data) => sent.push(data));
    const fire = (target, Kind, type, init = {}) => {
        const event = Object.assign(new window[Kind](type, {bubbles: true, cancelable: true, ...init}), init.extra);
        target.dispatchEvent(event);
        return event.defaultPrevented;
    };
    return {document, answer, view, keyboard, sent, composed, fire, focused: () => document.activeElement === answer};
}

test('each key sends what a terminal\'s does, and a key pressed elsewhere brings the keyboard to the answer', (t) => {
    // [key, modifiers, what it sends, whether the answer then has the keyboard]
    for (const [key, modifiers, sends, focused] of [['Enter', {}, ['\r'], true], ['Backspace', {}, ['\x7f'], true],
        ['d', {ctrlKey: true}, ['\x04'], false], ['D', {ctrlKey: true}, ['\x04'], false], ['c', {ctrlKey: true}, ['\x03'], false],
        ['x', {ctrlKey: true}, [], false], ['Enter', {altKey: true}, [], false], ['Enter', {metaKey: true}, [], false],
        ['Enter', {isComposing: true}, [], false], ['Enter', {keyCode: 229}, [], false], // an input method's
        ['7', {}, [], true], ['漢', {}, [], true], // its text comes with the answer's input
        ['Shift', {}, [], false], ['ArrowUp', {}, [], false]]) {
        const {document, sent, fire, focused: now} = open(t);
        const taken = fire(document.body, 'KeyboardEvent', 'keydown', {key, ...modifiers});
        assert.deepEqual([taken, sent, now()], [sends.length > 0, sends, focused], `${key} ${JSON.stringify(modifiers)}`);
    }
    const {document, answer, sent, fire} = open(t);
    for (const control of [document.querySelector('summary'), document.getElementById('again')])
        assert.equal(fire(control, 'KeyboardEvent', 'keydown', {key: 'Enter'}), false, 'the page\'s other controls keep their keys');
    answer.focus();
    assert.deepEqual([fire(answer, 'KeyboardEvent', 'keydown', {key: 'Enter'}), sent], [true, ['\r']]);
    // Ctrl-C copies text that is selected, and interrupts where none is.
    document.getSelection().selectAllChildren(document.querySelector('h1'));
    assert.equal(fire(document.body, 'KeyboardEvent', 'keydown', {key: 'c', ctrlKey: true}), false);
    document.getSelection().removeAllRanges();
    fire(document.body, 'KeyboardEvent', 'keydown', {key: 'c', ctrlKey: true});
    assert.deepEqual(sent, ['\r', '\x03']);
});

test('typed text goes as it comes, an input method\'s once committed, a paste whole; a phone\'s Enter and Backspace are edits', (t) => {
    const {answer, sent, composed, fire} = open(t);
    for (const [inputType, value, sends] of [['insertLineBreak', '', ['\r']], ['insertParagraph', '', ['\r']],
        ['deleteContentBackward', '', ['\x7f']], ['deleteContentBackward', '1', []], ['insertText', '', []]]) {
        answer.value = value;
        assert.equal(fire(answer, 'InputEvent', 'beforeinput', {inputType}), sends.length > 0, inputType);
        assert.deepEqual(sent.splice(0), sends, `${inputType} with "${value}"`);
    }
    answer.value = '12';
    fire(answer, 'InputEvent', 'input');
    fire(answer, 'InputEvent', 'input');
    assert.deepEqual([sent, answer.value], [['12'], ''], 'an empty answer sends nothing');
    fire(answer, 'CompositionEvent', 'compositionupdate', {data: 'さん'});
    answer.value = 'さん';
    fire(answer, 'InputEvent', 'input', {isComposing: true});
    assert.deepEqual([sent, composed], [['12'], ['さん']]);
    answer.value = '３';
    fire(answer, 'CompositionEvent', 'compositionend', {data: '３'});
    assert.deepEqual([sent, composed, answer.value], [['12', '３'], ['さん', ''], '']);
    const paste = (text) => fire(answer, 'Event', 'paste', {extra: {clipboardData: {getData: (type) => (type === 'text/plain' ? text : 'wrong')}}});
    assert.deepEqual([paste('1\r\n2\n\n3'), paste(''), fire(answer, 'Event', 'paste')], [true, false, false], 'nothing to paste is the browser\'s');
    assert.deepEqual(sent.slice(2), ['1\r\n2\n\n3']);
});

test('a new run offers the keyboard but on a touch screen, where the keypad is it, and a tap on the transcript gives it', (t) => {
    for (const touch of [false, true]) {
        const {document, answer, view, keyboard, focused} = open(t, touch);
        const focus = answer.focus;
        answer.focus = (options) => {
            assert.deepEqual({...options}, {preventScroll: true}, 'the view stays where it is');
            focus.call(answer, options);
        };
        keyboard.offer();
        assert.equal(focused(), !touch, `touch: ${touch}`);
        answer.blur();
        document.getSelection().selectAllChildren(view);
        view.click();
        assert.equal(focused(), false, 'a tap that selects text');
        document.getSelection().removeAllRanges();
        view.click();
        assert.equal(focused(), true);
    }
});

test('each key of the keypad sends its key, and a tap leaves no text field with the keyboard', (t) => {
    const {document, answer, sent, focused} = open(t, true);
    const keys = [...document.querySelectorAll('#keypad button')];
    answer.focus();
    keys.forEach((key) => key.click());
    assert.deepEqual(sent, ['1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '-', '\x7f', '\r']);
    assert.equal(focused(), false, 'the phone\'s keyboard is closed');
    document.querySelector('#keypad .enter span').click();
    document.getElementById('keypad').click();
    assert.deepEqual(sent.slice(13), ['\r'], 'a tap inside a key is the key\'s; between keys, no one\'s');
    keys[0].focus();
    keys[1].click();
    assert.equal(document.activeElement, keys[0], 'only a text field loses the focus');
});
