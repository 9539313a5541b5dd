// hitblow in a browser: the keyboard and the input method, and the one table of what each key sends to the game.
'use strict';

// What each key sends, as a terminal's keyboard sends it: CR for Enter, DEL
// for Backspace, EOT for Ctrl-D and ETX for Ctrl-C.  Any other key sends its
// own text.  The keypad's buttons name their keys here by data-key.
const KEY_DATA = {Enter: '\r', Backspace: '\x7f', 'Ctrl-D': '\x04', 'Ctrl-C': '\x03'};

// The edits by which a phone's keyboard may send Enter and Backspace, when
// it sends them as edits of the field alone.
const EDIT_KEYS = {insertLineBreak: 'Enter', insertParagraph: 'Enter', deleteContentBackward: 'Backspace'};

// The page's other controls, which keep the keys pressed on them.
const CONTROLS = 'button, summary, a, input, select, textarea';

// The key of KEY_DATA that `event` presses, when the browser would not put it
// in the answer field as text: Enter, Backspace, Ctrl-D, and Ctrl-C unless
// text is selected, which it then copies, as a terminal in a browser does.
// Null for any other key.
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
// whatever has the focus but for the page's other controls.  What is typed
// goes to `type(data)`: a key's data, an input method's committed text, a
// paste whole.  While an input method composes, `compose(text)` is told its
// text, and '' once it is committed.
class Keyboard {
    constructor(answer, view, {type, compose})
    {
        this.answer = answer;
        // On a touch screen the keypad is the keyboard: the answer field is
        // given the focus only when the player taps the transcript, which
        // opens the phone's own keyboard.
        this.touchScreen = matchMedia('(pointer: coarse)');
        // Takes what the answer field holds, as typed.
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
            if (event.target !== answer && !event.ctrlKey && !event.metaKey && (name !== null || [...event.key].length === 1))
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
        // A tap or click on the transcript, but for one that selects text,
        // gives the keyboard to the answer: on a phone, that opens its own.
        view.addEventListener('click', () => {
            if (document.getSelection().isCollapsed)
                this.focus();
        });
    }

    // Gives the answer field the keyboard.
    focus()
    {
        this.answer.focus({preventScroll: true});
    }

    // Gives the answer field the keyboard but on a touch screen, where the
    // phone's own keyboard would open over the keypad.
    offer()
    {
        if (!this.touchScreen.matches)
            this.focus();
    }
}
