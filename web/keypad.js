// hitblow in a browser: the on-screen keypad, which lets a phone player answer every question by touch.
'use strict';

// Makes the buttons in `keypad` send their keys to `type(data)`: a digit or
// the minus sign its text, a key with a data-key what KEY_DATA says that key
// sends.  A tap leaves no text field focused: the phone's own keyboard,
// which a focused field brings up, stays closed over the keypad.
function startKeypad(keypad, type)
{
    keypad.addEventListener('click', (event) => {
        const key = event.target.closest('button');
        if (key === null)
            return;
        const active = document.activeElement;
        if (active !== null && active !== key && (active.isContentEditable || active.matches('input, textarea')))
            active.blur();
        type(key.dataset.key ? KEY_DATA[key.dataset.key] : key.textContent);
    });
}
