// Browser tests: plays the scenarios of scenarios.mjs on the built site in one engine, as a player would.
//
// usage: node browser_test.mjs ENGINE SITE_DIR README.md [SCENARIO...]
//
// Opens ENGINE (chromium, firefox or webkit: drivers.mjs) once, and plays
// each SCENARIO (all of them when none is named) on each of its screens, in
// a fresh page served from its own loopback server with the page's clock
// stopped at the second the transcripts use.  As many scenarios are played
// at a time as there are cores, one in WebKit, whose driver has one browser
// at a time.  Every
// scenario also requires that nothing was logged as an error or thrown, that
// no request left the local server, and that the page's
// Content-Security-Policy was never violated.  A scenario that needs what
// the engine's driver cannot give is not played, with a line saying why.
// Prints a line for each scenario, then exits 0 when all passed, 1 when one
// failed, and 77, which CTest reports as skipped, with one line saying why,
// where the engine, its driver or the site is missing.

import {mkdtempSync, rmSync} from 'node:fs';
import {availableParallelism, tmpdir} from 'node:os';
import {join} from 'node:path';

import {LIMITS, openBrowser, requireEngine} from './drivers.mjs';
import {requireSite, runMain} from './harness.mjs';
import {FIXED_TIME, Player, SCENARIOS} from './scenarios.mjs';
import {serveSite} from './site_server.mjs';

const [engine, siteDir, readmePath, ...named] = process.argv.slice(2);

// Plays the scenario `name` in `browser`, and returns a line that says how it went.
async function play(browser, name)
{
    const scenario = SCENARIOS[name];
    const lacking = (scenario.needs || []).filter((need) => LIMITS[engine][need] !== undefined);
    if (lacking.length > 0)
        return `${name}: not played in ${engine}: ${lacking.map((need) => LIMITS[engine][need]).join('; ')}`;
    const site = await serveSite(siteDir, {fixedTime: FIXED_TIME, base: scenario.base || '/'});
    const profile = scenario.persistent ? mkdtempSync(join(tmpdir(), 'hitblow-profile-')) : null;
    const own = profile !== null ? await openBrowser(engine, {persistentDir: profile}) : null;
    const start = Date.now();
    try {
        const problems = [];
        for (const device of scenario.devices || ['desktop']) {
            const page = await (own || browser).newPage(device);
            try {
                await page.goto(site.url);
                await scenario.run(new Player(page, readmePath, site));
                problems.push(...await page.problemsFound());
            } catch (error) {
                throw new Error(`on ${device}: ${error.message}`);
            } finally {
                await page.close();
            }
        }
        if (problems.length > 0)
            throw new Error(problems.join('\n'));
        return `${name}: passed in ${engine} (${((Date.now() - start) / 1000).toFixed(1)} s)`;
    } catch (error) {
        return `FAIL: ${name} in ${engine}: ${error.message}`;
    } finally {
        if (own !== null)
            await own.close();
        await site.close();
        if (profile !== null)
            rmSync(profile, {recursive: true, force: true});
    }
}

async function main()
{
    const names = named.length > 0 ? named : Object.keys(SCENARIOS);
    const unknown = names.filter((name) => SCENARIOS[name] === undefined);
    if (unknown.length > 0)
        throw new Error(`no scenario "${unknown[0]}"; there are: ${Object.keys(SCENARIOS).join(', ')}`);
    if (FIXED_TIME === null)
        throw new Error('HITBLOW_FIXED_CLOCK, the fixed clock\'s second, is not set: CTest sets it (ctest -R web)');
    requireEngine(engine);
    requireSite(siteDir);

    const browser = await openBrowser(engine);
    const queue = [...names];
    let failed = false;
    const worker = async () => {
        for (let name; (name = queue.shift()) !== undefined;) {
            const line = await play(browser, name);
            failed ||= line.startsWith('FAIL');
            console.log(line);
        }
    };
    try {
        const jobs = engine === 'webkit' ? 1 : availableParallelism();
        await Promise.all(Array.from({length: jobs}, worker));
    } finally {
        await browser.close();
    }
    process.exit(failed ? 1 : 0);
}

runMain(engine, main);
