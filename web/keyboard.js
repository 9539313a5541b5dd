// hitblow in a browser: the keyboard and the input method, and the one table of what each key sends to the game.
'use strict';

// What each key sends, as a terminal's keyboard does (any other key sends
// its own text); the keypad's buttons name their keys here by data-key.
const KEY_DATA = {Enter: '\r', Backspace: '\x7f', 'Ctrl-D': '\x04', 'Ctrl-C': '\x03'};

// The edits by which a phone's keyboard may send Enter and Backspace.
const EDIT_KEYS = {insertLineBreak: 'Enter', insertParagraph: 'Enter', deleteContentBackward: 'Backspace'};

// The page's other controls, which keep the keys pressed on them.
const CONTROLS = 'button, summary, a, input, select, textarea';

// The key of KEY_DATA that `event` presses, or null: Ctrl-C with text
// selected copies it, as a terminal in a browser does.
function keyName(event)
{
    if (event.isComposing || event.keyCode === 229 || event.altKey || event.metaKey)
        return null; // an input method's key, or the browser's or the system's
    if (event.ctrlKey) {
        const key = event.key.toLowerCase();
        if (key === 'd')
            return 'Ctrl-D';
        if (key === 'c' && document.getSelection().isCollapsed)
            return 'Ctrl-C';
        return null;
    }
    return event.key === 'Enter' || event.key === 'Backspace' ? event.key : null;
}

// The keyboard types into `answer`, an unseen field at the foot of `view`,
// whatever has the focus but for the page's other controls, and hands
// `type(data)` a key's data, an input method's committed text or a paste
// whole; `compose(text)` is told an input method's text as it is composed.
class Keyboard {
    constructor(answer, view, {type, compose})
    {
        this.answer = answer;
        // On a touch screen the keypad is the keyboard, and the phone's own comes only at a tap on the transcript.
        this.touchScreen = matchMedia('(pointer: coarse)');
        const takeTyped = () => {
            const text = answer.value;
            if (text !== '') {
                answer.value = '';
                type(text);
            }
        };
        // A key pressed elsewhere moves the focus to the answer first.
        document.addEventListener('keydown', (event) => {
            if (event.target !== answer && event.target.closest(CONTROLS))
                return;
            const name = keyName(event);
            if (name !== null) {
                event.preventDefault();
                type(KEY_DATA[name]);
            }
            if (!event.ctrlKey && !event.metaKey && (name !== null || [...event.key].length === 1))
                this.focus();
        });
        answer.addEventListener('beforeinput', (event) => {
            const name = EDIT_KEYS[event.inputType];
            if (name !== undefined && answer.value === '') {
                event.preventDefault();
                type(KEY_DATA[name]);
            }
        });
        answer.addEventListener('input', (event) => {
            if (!event.isComposing)
                takeTyped();
        });
        answer.addEventListener('compositionupdate', (event) => compose(event.data));
        answer.addEventListener('compositionend', () => {
            takeTyped();
            compose('');
        });
        // A paste is taken whole, as it is: none of its line ends lost to the field.
        answer.addEventListener('paste', (event) => {
            const text = event.clipboardData?.getData('text/plain');
            if (text) {
                event.preventDefault();
                type(text);
            }
        });
        // A tap on the transcript that selects nothing gives the answer the keyboard.
        view.addEventListener('click', () => {
            if (document.getSelection().isCollapsed)
                this.focus();
        });
    }

    focus()
    {
        this.answer.focus({preventScroll: true});
    }

    // Gives the answer the keyboard but on a touch screen, where the phone's would cover the keypad.
    offer()
    {
        if (!this.touchScreen.matches)
            this.focus();
    }
}
