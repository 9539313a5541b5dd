// hitblow in a browser: the on-screen keypad, which lets a phone player answer every question by touch.
'use strict';

// What each key sends, as the keyboard sends it: its digit or minus sign,
// DEL for Backspace, CR for Enter.  A key's data-key names it where its
// text is a symbol.
const KEYPAD_DATA = {Backspace: '\x7f', Enter: '\r'};

// Makes the buttons in `keypad` send their keys to `type(data)`.  A tap
// leaves no text field focused: the phone's own keyboard, which a focused
// field brings up, stays closed over the keypad.
function startKeypad(keypad, type)
{
    keypad.addEventListener('click', (event) => {
        const key = event.target.closest('button');
        if (key === null)
            return;
        const active = document.activeElement;
        if (active !== null && active !== key && (active.isContentEditable || active.matches('input, textarea')))
            active.blur();
        const name = key.dataset.key || key.textContent;
        type(KEYPAD_DATA[name] || name);
    });
}
