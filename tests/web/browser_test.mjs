// Browser tests: plays one scenario of scenarios.mjs on the built site in one engine, as a player would.
//
// usage: node browser_test.mjs ENGINE SITE_DIR README.md SCENARIO
//
// Serves SITE_DIR on a loopback port with the page's clock stopped at the
// second the transcripts use, opens it in ENGINE (chromium, firefox or
// webkit: drivers.mjs) on each of the scenario's screens, and plays it.
// Every scenario also requires that nothing was logged as an error or
// thrown, that no request left the local server, and that the page's
// Content-Security-Policy was never violated.  Exits 0 when the scenario
// passes, 1 when it fails, and 77, which CTest reports as skipped, with one
// line saying why, where the engine, its driver or the site is missing.  A
// scenario that needs what the engine's driver cannot give passes with a
// line saying what was left out.

import {existsSync, mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {LIMITS, missing, openBrowser} from './drivers.mjs';
import {FIXED_TIME, Player, SCENARIOS} from './scenarios.mjs';
import {serveSite} from './site_server.mjs';

const [engine, siteDir, readmePath, scenarioName] = process.argv.slice(2);

function skip(why)
{
    console.log(`skipped: ${why}`);
    process.exit(77);
}

async function main()
{
    const scenario = SCENARIOS[scenarioName];
    if (scenario === undefined)
        throw new Error(`no scenario "${scenarioName}"; there are: ${Object.keys(SCENARIOS).join(', ')}`);
    const why = await missing(engine);
    if (why !== null)
        skip(why);
    if (!existsSync(join(siteDir, 'hitblow.wasm')))
        skip(`there is no site in ${siteDir} (the test web.site builds it, with emscripten)`);
    const lacking = (scenario.needs || []).filter((need) => LIMITS[engine][need] !== undefined);
    if (lacking.length > 0) {
        console.log(`${scenarioName}: not played in ${engine}: ${lacking.map((need) => LIMITS[engine][need]).join('; ')}`);
        return;
    }

    const site = await serveSite(siteDir, {fixedTime: FIXED_TIME, base: scenario.base || '/'});
    const profile = scenario.persistent ? mkdtempSync(join(tmpdir(), 'hitblow-profile-')) : null;
    const browser = await openBrowser(engine, {persistentDir: profile});
    const problems = [];
    try {
        for (const device of scenario.devices || ['desktop']) {
            const page = await browser.newPage(device);
            await page.goto(site.url);
            try {
                await scenario.run(new Player(page, readmePath, site));
            } catch (error) {
                throw new Error(`on ${device}: ${error.message}`);
            }
            problems.push(...await page.problemsFound());
        }
    } finally {
        await browser.close();
        await site.close();
        if (profile !== null)
            rmSync(profile, {recursive: true, force: true});
    }
    if (problems.length > 0)
        throw new Error(problems.join('\n'));
    console.log(`${scenarioName}: passed in ${engine}`);
}

main().catch((error) => {
    console.log(`FAIL: ${scenarioName} in ${engine}: ${error.message}`);
    process.exit(1);
});
