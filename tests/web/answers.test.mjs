// Every answer of the page agrees with renpin-cli's: the table of names.mjs and a few hundred
// generated names are typed into the name box and asked with Enter, in headless Chromium; the
// output box and the notice (text, title, icon) must hold what renpin-cli answers, and 确定
// must give the focus back to the name box.
//   node answers.test.mjs PAGE_DIR RENPIN_CLI
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync} from 'node:fs';

import {Browser} from './browser.mjs';
import {generatedNames, notices, table, writableInUtf8} from './names.mjs';
import {serve} from './static-server.mjs';

const [pageDir, cli] = process.argv.slice(2);
if (!existsSync(cli)) {
    console.error(
        `${cli} is missing: build it first (cmake --build --preset host --target renpin-cli)`);
    process.exit(1);
}

const cases = [...table, ...generatedNames(400).map((name) => [name, 'report'])];

// renpin-cli's answers, one per name: a report is three lines, any other answer one. The page's
// output box holds line breaks as LF, as every text box of a page does.
function cliAnswers(names) {
    const input = names.map(writableInUtf8).join('\n') + '\n';
    const output = execFileSync(cli, ['-'], {input, maxBuffer: 1 << 30}).toString('utf8');
    const lines = output.split('\r\n');
    assert.equal(lines.pop(), '', 'renpin-cli ends every answer in CR LF');
    const answers = [];
    for (let i = 0; i < lines.length;) {
        const size = lines[i].startsWith('查询姓名：') ? 3 : 1;
        answers.push(lines.slice(i, i + size));
        i += size;
    }
    assert.equal(answers.length, names.length);
    return answers.map((answer, i) => {
        if (answer.length === 3) {
            answer[0] = `查询姓名：${names[i]}`;
            return answer.map((line) => `${line}\n`).join('');
        }
        return answer[0];
    });
}

const expected = cliAnswers(cases.map(([name]) => name));
const server = await serve(pageDir);
const browser = await Browser.launch();
try {
    const tab = await browser.newTab();
    await tab.goto(server.url);
    const nameBox = await tab.find('textbox', '姓名');
    const outputBox = await tab.find('textbox', '查询结果');
    await tab.until('document.readyState === "complete"');
    await tab.click(nameBox);
    let outputBefore = '';
    for (const [i, [name, kind]] of cases.entries()) {
        const shown = name.length > 40 ?
            `${JSON.stringify(name.slice(0, 40))}... (${name.length} units)` :
            JSON.stringify(name);
        if (writableInUtf8(name) === name) {
            await tab.replaceText(name);
        } else {
            // A lone surrogate cannot be typed: it is pasted in by the page's script.
            await tab.callOn(nameBox, `function() { this.value = ${JSON.stringify(name)}; }`);
        }
        await tab.press('Enter');
        const [dialog] = await tab.findAll('dialog');
        assert.ok(dialog, `${shown}: no notice`);
        const notice = await tab.callOn(dialog, `function() {
            const text = (relation) => document.getElementById(this.getAttribute(relation)).textContent;
            const icon = [...this.querySelectorAll('img')].find((image) => image.checkVisibility());
            return { open: this.open, title: text('aria-labelledby'), text: text('aria-describedby'),
                     icon: icon.getAttribute('src') };
        }`);
        const output = await tab.callOn(outputBox, 'function() { return this.value; }');
        const [title, icon] = notices[kind];
        assert.deepEqual({title: notice.title, icon: notice.icon}, {title, icon}, shown);
        assert.equal(notice.text, expected[i], `${shown}: notice`);
        // The empty name's reproach leaves the output box as it was.
        assert.equal(
            output, kind === 'reproach' ? outputBefore : expected[i], `${shown}: output box`);
        await tab.press('Enter');
        assert.equal((await tab.findAll('dialog')).length, 0, `${shown}: 确定 closed nothing`);
        assert.ok(await tab.isFocused(nameBox), `${shown}: the focus did not come back`);
        outputBefore = output;
    }
    assert.deepEqual(tab.problems, []);
    console.log(`${cases.length} names answered as renpin-cli answers them`);
} finally {
    await browser.close();
    await server.close();
}
