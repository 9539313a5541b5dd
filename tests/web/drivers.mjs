// Browser tests: one small driver interface over the three engines, so that each scenario is written once.
//
// A browser is opened with openBrowser(engine), and a page in it with
// browser.newPage(device).  A page driver has:
//   goto(url)                 loads a page and waits for it to load
//   evaluate(fn, arg)         runs fn(arg) in the page and returns its result
//   type(text)                types text key by key into what has the focus
//   press(key)                presses 'Enter', 'Backspace', 'Control+D' or 'Control+C'
//   insertText(text)          enters text as an input method commits it
//   tap(name)                 taps (or, without touch, clicks) the button named `name`
//   click(selector)           clicks the element
//   reload()                  loads the page again
//   setOffline(offline)       cuts the page off from the network, or puts it back
//   installabilityErrors()    why Chromium would not install the page as an app
//   problemsFound()           what went wrong unasked: errors logged or thrown,
//                             requests to other hosts, Content-Security-Policy violations
//   engine, touch             the engine's name, and whether the page has touch
//
// What an engine's driver cannot show is listed in LIMITS, once.

import {existsSync} from 'node:fs';

export const ENGINES = ['chromium', 'firefox', 'webkit'];

// Where Debian puts each engine, and what else its driver needs.
const BROWSERS = {
    chromium: {path: process.env.CHROMIUM || '/usr/bin/chromium', package: 'chromium'},
    firefox: {path: process.env.FIREFOX || '/usr/bin/firefox-esr', package: 'firefox-esr'},
    webkit: {path: '/usr/bin/WebKitWebDriver', package: 'webkit2gtk-driver xvfb xauth',
             browser: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'},
};

// What a scenario needs that an engine's driver cannot give, by the
// scenario's `needs`; a scenario that needs one of them is left out of that
// engine's run, with the reason printed.
export const LIMITS = {
    firefox: {
        touch: 'Playwright cannot emulate touch or a phone over WebDriver BiDi',
        serviceWorkerEvents: 'WebDriver BiDi has no service-worker events',
        cdp: 'Firefox has no Chrome DevTools Protocol (installability, input methods)',
        offline: 'Playwright cannot cut Firefox off from the network over WebDriver BiDi',
    },
    webkit: {
        touch: 'W3C WebDriver cannot emulate touch or a phone',
        serviceWorkerEvents: 'W3C WebDriver has no service-worker events',
        cdp: 'WebKit has no Chrome DevTools Protocol (installability, input methods)',
        offline: 'W3C WebDriver cannot cut the browser off from the network',
        consoleErrors: 'WebKitWebDriver does not hand over the console: only errors thrown after load are seen',
    },
    chromium: {},
};

// Why `engine` cannot run here, or null when it can.
export async function missing(engine)
{
    const browser = BROWSERS[engine];
    const module = engine === 'webkit' ? 'selenium-webdriver' : 'playwright-core';
    try {
        await import(module);
    } catch {
        return `${module} is not installed (run npm ci at the top of the source tree)`;
    }
    for (const path of [browser.path, browser.browser].filter(Boolean)) {
        if (!existsSync(path))
            return `${path} is missing (install it with: apt-get install ${browser.package})`;
    }
    if (engine === 'webkit' && !existsSync('/usr/bin/xvfb-run'))
        return '/usr/bin/xvfb-run is missing (install it with: apt-get install xvfb xauth)';
    return null;
}

// The phones and touch screens that scenarios emulate, by name.
export async function devices()
{
    const {devices: known} = await import('playwright-core');
    return {
        'Pixel 7': known['Pixel 7'],
        'iPhone 13': known['iPhone 13'],
        'touch 360x640': {viewport: {width: 360, height: 640}, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
        desktop: {viewport: {width: 1000, height: 1500}},
    };
}

// Headless, and with no background traffic: this machine's network is
// closed, and nothing but the page may make requests.
const CHROMIUM_ARGS = ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
                       '--disable-component-update', '--disable-sync'];

export async function openBrowser(engine, {persistentDir = null} = {})
{
    if (engine === 'webkit')
        return openWebKit();
    const playwright = await import('playwright-core');
    const launcher = playwright[engine];
    const options = engine === 'chromium'
        ? {executablePath: BROWSERS.chromium.path, args: CHROMIUM_ARGS}
        : {channel: 'moz-firefox', executablePath: BROWSERS.firefox.path};
    const table = await devices();
    const newContext = async (device) => {
        let settings = table[device];
        if (engine === 'firefox') {
            const {viewport} = settings;
            settings = {viewport};
        }
        if (persistentDir !== null)
            return launcher.launchPersistentContext(persistentDir, {...options, ...settings});
        return (await browserOnce()).newContext(settings);
    };
    let launched = null;
    const browserOnce = async () => (launched ??= await launcher.launch(options));
    const contexts = [];
    return {
        engine,
        async newPage(device = 'desktop')
        {
            const context = await newContext(device);
            contexts.push(context);
            const page = context.pages()[0] || await context.newPage();
            return new PlaywrightPage(engine, context, page, Boolean(table[device].hasTouch) && engine !== 'firefox');
        },
        async close()
        {
            for (const context of contexts)
                await context.close();
            if (launched !== null)
                await launched.close();
        },
    };
}

// Records the page's policy violations, for problemsFound() to collect.
const WATCH_POLICY = `window.policyViolations = [];
    document.addEventListener('securitypolicyviolation',
        (event) => policyViolations.push(event.violatedDirective + ' ' + event.blockedURI));`;

async function policyProblems(page)
{
    const violations = await page.evaluate(() => window.policyViolations || []);
    return violations.map((violation) => `the policy was violated: ${violation}`);
}

class PlaywrightPage {
    constructor(engine, context, page, touch)
    {
        this.engine = engine;
        this.context = context;
        this.page = page;
        this.touch = touch;
        this.problems = [];
        page.on('console', (message) => {
            if (message.type() === 'error')
                this.problems.push(`logged as an error: ${message.text()}`);
        });
        page.on('pageerror', (error) => this.problems.push(`the page threw: ${error.message}`));
        context.on('request', (request) => {
            const url = new URL(request.url());
            if (url.origin !== this.origin && !['data:', 'blob:'].includes(url.protocol))
                this.problems.push(`a request left the local server: ${request.url()}`);
        });
    }

    async goto(url)
    {
        this.origin = new URL(url).origin;
        await this.page.addInitScript(WATCH_POLICY);
        await this.page.goto(url);
    }

    async reload()
    {
        await this.page.reload();
    }

    async installabilityErrors()
    {
        const session = await this.context.newCDPSession(this.page);
        const {installabilityErrors} = await session.send('Page.getInstallabilityErrors');
        await session.detach();
        return installabilityErrors.map((error) => error.errorId);
    }

    async problemsFound()
    {
        return [...this.problems.splice(0), ...await policyProblems(this)];
    }

    evaluate(fn, arg)
    {
        return this.page.evaluate(fn, arg);
    }

    type(text)
    {
        return this.page.keyboard.type(text);
    }

    press(key)
    {
        return this.page.keyboard.press(key);
    }

    // In Chromium, composed and committed as a Japanese input method does.
    async insertText(text)
    {
        if (this.engine !== 'chromium')
            return this.page.keyboard.insertText(text);
        const session = await this.context.newCDPSession(this.page);
        await session.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length});
        await session.send('Input.insertText', {text});
        await session.detach();
    }

    tap(name)
    {
        const button = this.page.getByRole('button', {name, exact: true});
        return this.touch ? button.tap() : button.click();
    }

    click(selector)
    {
        return this.page.click(selector);
    }

    setOffline(offline)
    {
        return this.context.setOffline(offline);
    }
}

// WebKitGTK's MiniBrowser, driven by WebKitWebDriver through selenium-webdriver
// under a virtual X server (xvfb-run runs this whole test for it).
async function openWebKit()
{
    const {Builder, Browser} = await import('selenium-webdriver');
    const {ServiceBuilder, Options} = await import('selenium-webdriver/webkitgtk.js');
    const drivers = [];
    return {
        engine: 'webkit',
        async newPage(device = 'desktop')
        {
            const table = await devices();
            const options = new Options().setBrowserBinaryPath(BROWSERS.webkit.browser).addArguments('--automation');
            const driver = await new Builder().forBrowser(Browser.WEBKITGTK)
                .setWebKitGTKOptions(options)
                .setWebKitGTKService(new ServiceBuilder(BROWSERS.webkit.path))
                .build();
            drivers.push(driver);
            const {viewport} = table[device];
            await driver.manage().window().setRect({width: viewport.width, height: viewport.height});
            return new WebDriverPage(driver);
        },
        async close()
        {
            for (const driver of drivers)
                await driver.quit();
        },
    };
}

class WebDriverPage {
    constructor(driver)
    {
        this.engine = 'webkit';
        this.driver = driver;
        this.touch = false;
        this.problems = [];
    }

    async goto(url)
    {
        await this.driver.get(url);
        // Errors thrown and policy violations from now on are kept in the
        // page, and collected by evaluate() and problemsFound().
        await this.driver.executeScript(`window.testErrors = [];
            addEventListener('error', (event) => testErrors.push(String(event.message)));
            addEventListener('unhandledrejection', (event) => testErrors.push(String(event.reason)));
            ${WATCH_POLICY}`);
    }

    async problemsFound()
    {
        const policy = await policyProblems(this);
        return [...this.problems.splice(0), ...policy];
    }

    async reload()
    {
        await this.driver.navigate().refresh();
    }

    async evaluate(fn, arg)
    {
        const result = await this.driver.executeScript(`return (${fn})(arguments[0]);`, arg);
        const errors = await this.driver.executeScript('return window.testErrors || [];');
        this.problems.push(...errors.splice(0).map((error) => `the page threw: ${error}`));
        await this.driver.executeScript('if (window.testErrors) testErrors.length = 0;');
        return result;
    }

    async type(text)
    {
        await this.driver.actions().sendKeys(text).perform();
    }

    async press(key)
    {
        const {Key} = await import('selenium-webdriver');
        const keys = {'Enter': Key.ENTER, 'Backspace': Key.BACK_SPACE};
        const [modifier, name] = key.includes('+') ? key.split('+') : [null, key];
        const actions = this.driver.actions();
        if (modifier !== null)
            actions.keyDown(Key.CONTROL).sendKeys(name.toLowerCase()).keyUp(Key.CONTROL);
        else
            actions.sendKeys(keys[name] || name);
        await actions.perform();
    }

    insertText(text)
    {
        return this.type(text);
    }

    async tap(name)
    {
        const {By} = await import('selenium-webdriver');
        const buttons = await this.driver.findElements(By.css('button'));
        for (const button of buttons) {
            const label = (await button.getAttribute('aria-label')) || (await button.getText());
            if (label === name && await button.isDisplayed())
                return button.click();
        }
        throw new Error(`no button named "${name}"`);
    }

    async click(selector)
    {
        const {By} = await import('selenium-webdriver');
        await this.driver.findElement(By.css(selector)).click();
    }
}
