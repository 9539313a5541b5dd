// hitblow in a browser: the service worker's registration, which keeps the site for offline play.
'use strict';

// How long after the page's start its service worker is registered.
// Installing it fetches and keeps every file of the site, which on a slow
// phone slows the player's first taps (on Lighthouse's mobile profile, the
// settings after the first two came some 80 ms later); offline play is for
// the next visit, and can wait.
const WORKER_DELAY_MS = 5000;

// Registers service_worker.js WORKER_DELAY_MS from now; the game plays on
// where it cannot be (no service workers, or a refusal).  The page's policy
// lets only Trusted Types name a script's address, and this page names that
// one alone.
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
    new Promise((resolve) => setTimeout(resolve, WORKER_DELAY_MS))
        .then(() => navigator.serviceWorker.register(worker)).catch(() => {});
}
