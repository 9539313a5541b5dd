// hitblow in a browser: the service worker's registration, which keeps the site for offline play.
'use strict';

// Resolves after the page has been drawn (or, in a tab that draws nothing,
// soon anyway).
function drawn()
{
    return new Promise((resolve) => {
        requestAnimationFrame(() => setTimeout(resolve, 0));
        setTimeout(resolve, 250);
    });
}

// Registers service_worker.js once the page has been drawn, so that the
// game's first prompt comes first.  Where that cannot be (a browser without
// service workers, or one that refuses them here), the game plays on all the
// same.  The page's policy lets only Trusted Types name a script's address:
// this page names that one alone.
function registerWorker()
{
    if (!('serviceWorker' in navigator))
        return;
    const policy = globalThis.trustedTypes?.createPolicy('hitblow', {
        createScriptURL: (url) => {
            if (url !== 'service_worker.js')
                throw new TypeError(`not this page's script: ${url}`);
            return url;
        },
    });
    const worker = policy ? policy.createScriptURL('service_worker.js') : 'service_worker.js';
    drawn().then(() => navigator.serviceWorker.register(worker)).catch(() => {});
}
