// hitblow in a browser: the service worker's registration, which keeps the site for offline play.
'use strict';

// Registers service_worker.js once the page has been drawn (or soon, in a
// tab that draws nothing), so that the game's first prompt comes first; the
// game plays on where it cannot be (no service workers, or a refusal).  The
// page's policy lets only Trusted Types name a script's address, and this
// page names that one alone.
function registerWorker()
{
    const policy = globalThis.trustedTypes?.createPolicy('hitblow', {
        createScriptURL: (url) => {
            if (url !== 'service_worker.js')
                throw new TypeError(`not this page's script: ${url}`);
            return url;
        },
    });
    const worker = policy ? policy.createScriptURL('service_worker.js') : 'service_worker.js';
    const drawn = new Promise((resolve) => {
        requestAnimationFrame(() => setTimeout(resolve, 0));
        setTimeout(resolve, 250);
    });
    drawn.then(() => navigator.serviceWorker.register(worker)).catch(() => {});
}
