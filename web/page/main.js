// The page's glue: connects the window's controls to the evaluation module and the notice.
import {connectClosing} from './closing.js';
import {loadEvaluation} from './module.js';
import {showNotice} from './notice.js';

const client = document.getElementById('client');
const queryButton = document.getElementById('Command1');
const outputBox = document.getElementById('Text2');
const nameBox = document.getElementById('Text1');
const clearButton = document.getElementById('Command2');
const visitPageButton = document.getElementById('Command3');
const exitButton = document.getElementById('Command4');

// Kept for use offline after the first visit. Browsers give service workers only to pages from
// https or localhost.
if ('serviceWorker' in navigator && window.isSecureContext) {
    navigator.serviceWorker.register('sw.js');
}

// Every handler is connected at once; a query asked while the module still loads is answered
// as soon as it has loaded.
let evaluation = null;
const loading =
    loadEvaluation(new URL('renpin.wasm', import.meta.url), {nameBox, outputBox, showNotice})
        .then((loaded) => (evaluation = loaded));

// 查询人品 is the form's default button: a click, or Enter in the name box, submits.
client.addEventListener('submit', (event) => {
    event.preventDefault();
    if (evaluation) {
        evaluation.runQuery();
    } else {
        loading.then(() => evaluation.runQuery());
    }
});

clearButton.addEventListener('click', () => {
    nameBox.value = '';
    outputBox.value = '';
});

visitPageButton.addEventListener('click', () => {
    window.open(visitPageButton.dataset.makerPage, '_blank', 'noopener');
});

connectClosing({exitButton, nameBox, outputBox, queryButton});
