// Browser tests: what every runner shares: a skip with the one line that says why, the built site, and a run's failure.
//
// A runner exits 0 when it passed, 1 when it failed (printing "FAIL: ..."), and 77, which CTest reports
// as skipped, printing "skipped: WHY", where what it needs is missing.

import {existsSync} from 'node:fs';
import {createRequire} from 'node:module';
import {join} from 'node:path';

export function skip(why)
{
    console.log(`skipped: ${why}`);
    process.exit(77);
}

// Skips unless each of the npm `modules` can be found.
export function requireModules(...modules)
{
    for (const module of modules) {
        try {
            createRequire(import.meta.url).resolve(module);
        } catch {
            skip(`${module} is not installed (run npm ci at the top of the source tree)`);
        }
    }
}

// Skips unless `path`, a file of Debian's `packages`, is there.
export function requireFile(path, packages)
{
    if (!existsSync(path))
        skip(`${path} is missing (install it with: apt-get install ${packages})`);
}

// Skips unless `siteDir` holds a built site.
export function requireSite(siteDir)
{
    if (!existsSync(join(siteDir, 'index.html')) || !existsSync(join(siteDir, 'hitblow.wasm')))
        skip(`there is no site in ${siteDir} (tests/run_all.sh builds it where emcc runs: apt-get install emscripten)`);
}

// Runs `main`, which exits as it sees fit; a throw fails the run, saying where.
export function runMain(what, main)
{
    main().catch((error) => {
        console.log(`FAIL: ${what}: ${error.stack}`);
        process.exit(1);
    });
}
