// 退出程序: asks first, as the program does. Yes closes the tab where the browser lets a script
// close it (a tab that a script opened, or one with no history); everywhere else the window is
// replaced by its icon and caption, which open it again, empty, as a new start would.

const question = document.getElementById('close-question');
const form1 = document.getElementById('form1');
const closed = document.getElementById('closed');
const reopen = document.getElementById('reopen');

export function connectClosing({exitButton, nameBox, outputBox, queryButton}) {
    exitButton.addEventListener('click', () => {
        question.returnValue = '';
        question.showModal();
    });
    // Only 是 and 否 answer; Esc does nothing (closedby="none", and this where that is unknown).
    question.addEventListener('cancel', (event) => event.preventDefault());
    question.addEventListener('close', () => {
        if (question.returnValue !== 'yes') {
            return;
        }
        nameBox.value = '';
        outputBox.value = '';
        form1.hidden = true;
        closed.hidden = false;
        reopen.focus();
        window.close();
    });
    reopen.addEventListener('click', () => {
        closed.hidden = true;
        form1.hidden = false;
        queryButton.focus();
    });
}
