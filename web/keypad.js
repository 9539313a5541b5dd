// hitblow in a browser: the on-screen keypad, which lets a phone player answer every question by touch.
'use strict';

// Makes the buttons in `keypad` send their keys to `type(data)`: their text,
// or what KEY_DATA says their data-key sends.  A tap leaves no text field
// focused, so that the phone's own keyboard stays closed over the keypad.
function startKeypad(keypad, type)
{
    keypad.addEventListener('click', (event) => {
        const key = event.target.closest('button');
        if (key === null)
            return;
        const active = document.activeElement;
        if (active.isContentEditable || active.matches('input, textarea'))
            active.blur();
        type(key.dataset.key ? KEY_DATA[key.dataset.key] : key.textContent);
    });
}
