// The notice box: a modal dialog over the window with a title, an icon, the text and 确定,
// which holds the focus. While it is open the rest of the page takes no input; when it closes
// the browser gives the focus back to the control that had it.

const dialog = document.getElementById('notice');
const title = document.getElementById('notice-title');
const text = document.getElementById('notice-text');
// By the icon values of the evaluation's notices: information 64, error 16.
const icons = new Map([
    [64, document.getElementById('notice-information')],
    [16, document.getElementById('notice-error')],
]);

export function showNotice(noticeText, noticeTitle, icon) {
    title.textContent = noticeTitle;
    text.textContent = noticeText;
    for (const [value, image] of icons) {
        image.hidden = value !== icon;
    }
    dialog.showModal();
}
