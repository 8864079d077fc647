// The page as a user meets it in headless Chromium: the focus and the tab order, Enter, Space
// and Esc, the names screen readers read, 清空, the close question, the new tab of 访问阿朴博客,
// the page kept by its service worker answering with the server stopped, a phone's screen, and
// no error, failed request or request to another origin on the way. Screenshots go to
// SCREENSHOT_DIR, to be looked at beside docs/screenshot.png.
//   node page.test.mjs PAGE_DIR MAKER_PAGE SCREENSHOT_DIR
import assert from 'node:assert/strict';
import {mkdirSync} from 'node:fs';
import {join} from 'node:path';

import {Browser} from './browser.mjs';
import {serve} from './static-server.mjs';

const [pageDir, makerPage, screenshots] = process.argv.slice(2);
mkdirSync(screenshots, {recursive: true});

const caption = 'Ｍq.人品计算器';
const tabOrder = [
    ['button', '查询人品'], ['textbox', '查询结果'], ['textbox', '姓名'], ['button', '清空'],
    ['button', '访问阿朴博客'], ['button', '退出程序']
];

async function focusedControl(tab) {
    for (const [role, name] of tabOrder) {
        if (await tab.isFocused(await tab.find(role, name))) {
            return `${role} ${name}`;
        }
    }
    return tab.evaluate('document.activeElement?.outerHTML.slice(0, 80)');
}

const value = (tab, node) => tab.callOn(node, 'function() { return this.value; }');

async function ask(tab, name) {
    const nameBox = await tab.find('textbox', '姓名');
    await tab.click(nameBox);
    await tab.replaceText(name);
    await tab.press('Enter');
    const dialog = await tab.find('dialog', 'k-Vem阿朴提示');
    await tab.press('Enter');
    return dialog;
}

const server = await serve(pageDir);
const browser = await Browser.launch();
let serverStopped = false;
try {
    const tab = await browser.newTab();
    await tab.send(
        'Emulation.setDeviceMetricsOverride',
        {width: 400, height: 440, deviceScaleFactor: 1, mobile: false});
    await tab.goto(server.url);
    await tab.until('document.readyState === "complete"');

    // Opening: the caption, and the focus on 查询人品.
    assert.equal(await tab.evaluate('document.title'), caption);
    await tab.find('heading', caption);
    assert.equal(await focusedControl(tab), 'button 查询人品');
    await tab.screenshot(join(screenshots, 'desktop.png'));

    // Tab follows the program's order, whatever the layout; Shift+Tab goes back.
    const order = [await focusedControl(tab)];
    for (let i = 1; i < tabOrder.length; i++) {
        await tab.press('Tab');
        order.push(await focusedControl(tab));
    }
    assert.deepEqual(order, tabOrder.map(([role, name]) => `${role} ${name}`));
    await tab.press('Tab', {shifted: true});
    assert.equal(await focusedControl(tab), 'button 访问阿朴博客');

    // Enter in the name box asks; the answer is in both; Esc changes nothing.
    const nameBox = await tab.find('textbox', '姓名');
    const outputBox = await tab.find('textbox', '查询结果');
    await ask(tab, '张三');
    const report = await value(tab, outputBox);
    assert.match(report, /^查询姓名：张三\n人品得分：29\n/);
    await tab.press('Escape');
    assert.deepEqual(
        [await value(tab, nameBox), await value(tab, outputBox), await focusedControl(tab)],
        ['张三', report, 'textbox 姓名']);
    assert.equal((await tab.findAll('dialog')).length, 0);

    // Enter and Space press the focused button: 查询人品 by Space, 清空 by Enter.
    await tab.press('Tab', {shifted: true});
    await tab.press('Tab', {shifted: true});
    assert.equal(await focusedControl(tab), 'button 查询人品');
    await tab.press('Space');
    await tab.find('dialog', 'k-Vem阿朴提示');
    await tab.screenshot(join(screenshots, 'desktop-notice.png'));
    await tab.press('Enter');
    assert.equal(await focusedControl(tab), 'button 查询人品');
    for (let i = 0; i < 3; i++) {
        await tab.press('Tab');
    }
    assert.equal(await focusedControl(tab), 'button 清空');
    await tab.press('Enter');
    assert.deepEqual([await value(tab, nameBox), await value(tab, outputBox)], ['', '']);
    assert.equal(await focusedControl(tab), 'button 清空');

    // The output box takes typing, as the program's does.
    await tab.click(outputBox);
    await tab.replaceText('随便写写');
    assert.equal(await value(tab, outputBox), '随便写写');

    // 访问阿朴博客: the maker's page in a new tab that cannot reach this one; this one stays.
    const opened = browser.waitFor(
        'Target.targetCreated',
        ({targetInfo}) => targetInfo.type === 'page' && targetInfo.targetId !== tab.targetId);
    await tab.click(await tab.find('button', '访问阿朴博客'));
    const {targetInfo: created} = await opened;
    // The new tab names its address at once or as soon as it starts loading it.
    const newTab = created.url === makerPage ?
        created :
        (await browser.waitFor(
             'Target.targetInfoChanged',
             ({targetInfo}) =>
                 targetInfo.targetId === created.targetId && targetInfo.url === makerPage))
            .targetInfo;
    assert.equal(newTab.canAccessOpener, false, 'opened without noopener');
    await browser.send('Target.closeTarget', {targetId: created.targetId});
    assert.equal(await value(tab, outputBox), '随便写写');
    assert.equal(await focusedControl(tab), 'button 访问阿朴博客');

    // 退出程序 asks; Esc does nothing; 否 leaves everything as it was.
    const exitButton = await tab.find('button', '退出程序');
    await tab.click(exitButton);
    const question = await tab.find('dialog', 'k-Vem阿朴提示');
    assert.equal(
        await tab.callOn(question, `function() {
        return document.getElementById(this.getAttribute('aria-describedby')).textContent; }`),
        '您确定退出本程序吗?');
    assert.ok(await tab.isFocused(await tab.find('button', '是')));
    await tab.screenshot(join(screenshots, 'desktop-close-question.png'));
    await tab.press('Escape');
    await tab.find('dialog', 'k-Vem阿朴提示');
    await tab.press('Tab');
    assert.ok(await tab.isFocused(await tab.find('button', '否')));
    await tab.press('Enter');
    assert.equal((await tab.findAll('dialog')).length, 0);
    assert.equal(await value(tab, outputBox), '随便写写');
    assert.equal(await focusedControl(tab), 'button 退出程序');

    // 是: this tab was opened by no script and has a history, so the browser keeps it open, and
    // the window gives way to its icon and caption, which open it again, empty.
    await tab.click(exitButton);
    await tab.press('Enter');
    assert.equal((await tab.findAll('button', '查询人品')).length, 0);
    const reopen = await tab.find('button', caption);
    assert.ok(await tab.isFocused(reopen));
    await tab.screenshot(join(screenshots, 'desktop-closed.png'));
    await tab.press('Enter');
    assert.equal(await focusedControl(tab), 'button 查询人品');
    assert.deepEqual([await value(tab, nameBox), await value(tab, outputBox)], ['', '']);

    // Offline: once the service worker has the page, it opens and answers with the server gone.
    await tab.until('navigator.serviceWorker.ready.then(() => true)');
    await tab.reload();
    await tab.until('navigator.serviceWorker.controller !== null');
    await server.close();
    serverStopped = true;
    await tab.reload();
    await ask(tab, '李四');
    assert.match(
        await value(tab, await tab.find('textbox', '查询结果')),
        /^查询姓名：李四\n人品得分：/);

    // Nothing failed, and nothing was asked of another origin.
    const origin = new URL(server.url).origin;
    assert.deepEqual(tab.requests.filter((url) => new URL(url).origin !== origin), []);
    assert.deepEqual(tab.problems, []);

    // Nothing kept but the page's own files: no cookie, no stored name.
    assert.deepEqual(
        await tab.evaluate(`(async () => ({
        cookies: document.cookie,
        stored: localStorage.length + sessionStorage.length + (await indexedDB.databases()).length,
        kept: (await Promise.all((await caches.keys()).map(
                  async (name) => (await (await caches.open(name)).keys()).map((r) => r.url))))
                  .flat().filter((url) => !/\\/(|[\\w.-]+\\.(html|css|js|wasm|svg|png|webmanifest))$/.test(url))
    }))()`),
        {cookies: '', stored: 0, kept: []});

    // A phone: 360 by 740 at 3x, and the narrowest, 320; and a desktop at 2x: every control
    // inside the screen, and no sideways scrolling.
    for (const [width, height, scale, mobile] of [
             [360, 740, 3, true], [320, 568, 2, true], [400, 440, 2, false]]) {
        await tab.send(
            'Emulation.setDeviceMetricsOverride',
            {width, height, deviceScaleFactor: scale, mobile});
        await tab.reload();
        await tab.find('button', '查询人品');
        const nodes = [
            ...(await Promise.all(tabOrder.map(([role, name]) => tab.find(role, name)))),
            await tab.find('StaticText', '本程序仅供娱乐参考，绝无科学根据')
        ];
        for (const node of nodes) {
            const {model} =
                await tab.send('DOM.getBoxModel', {backendNodeId: node.backendDOMNodeId});
            const [left, top, , , right, bottom] = model.border;
            assert.ok(
                left >= 0 && top >= 0 && right <= width && bottom <= height,
                `${node.name?.value} at ${[left, top, right, bottom]} leaves ${width} x ${height}`);
        }
        assert.ok(
            await tab.evaluate('document.documentElement.scrollWidth <= window.innerWidth'),
            `sideways scrolling at ${width}`);
        await tab.screenshot(
            join(screenshots, `${mobile ? 'phone' : 'desktop'}-${width}-${scale}x.png`));
    }
    assert.deepEqual(tab.problems, []);
    console.log(
        'page: keyboard, names, close question, new tab, offline and phone all as expected');
} finally {
    await browser.close();
    if (!serverStopped) {
        await server.close();
    }
}
