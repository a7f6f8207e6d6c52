#include "passwords/PasswordScripts.h"

#include "passwords/PasswordRules.h"

namespace {

// Shared by both scripts: the documents reachable from this one that are of its origin,
// and the fields of a form (or of the fields outside any form of a document).
const char* const Common = R"js(
const MaxValue = %1, MaxFields = %2, MaxForms = %3;
const cut = (text) => String(text === null || text === undefined ? '' : text).slice(0, MaxValue);
const documents = () => {
    const found = [];
    const visit = (doc) => {
        if (!doc || found.includes(doc) || found.length >= 20)
            return;
        found.push(doc);
        const frames = doc.querySelectorAll('iframe, frame');
        for (const frame of frames) {
            let inner = null;
            try { inner = frame.contentDocument; } catch (e) { inner = null; }
            // Frames of another origin are never looked into.
            if (inner && inner.location && inner.location.origin === document.location.origin)
                visit(inner);
        }
    };
    visit(document);
    return found;
};
const inputsOf = (root) => {
    if (root.tagName === 'FORM')
        return Array.from(root.elements).filter((el) => el.tagName === 'INPUT');
    const doc = root.ownerDocument || root;
    return Array.from(doc.getElementsByTagName('input')).filter((el) => !el.form);
};
const typeOf = (el) => (el.getAttribute('type') || 'text').toLowerCase();
const formOf = (root, withValues) => {
    const inputs = inputsOf(root);
    if (!inputs.some((el) => typeOf(el) === 'password') || inputs.length > MaxFields)
        return null;
    const doc = root.ownerDocument || root;
    return {url: cut(doc.URL), fields: inputs.map((el) => [cut(el.getAttribute('name')),
        cut(el.id), typeOf(el).slice(0, 32), cut(el.getAttribute('autocomplete')),
        withValues && ['text', 'email', 'tel', 'password'].includes(typeOf(el)) ? cut(el.value) : ''])};
};
const rootsOf = (doc) => [...Array.from(doc.forms), doc];
)js";

const char* const Look = R"js(
const state = window.__pelvanePasswords || (window.__pelvanePasswords = {submitted: new Map(), filled: false, id: String(Math.random())});
const note = (root) => {
    const form = root && formOf(root, true);
    if (!form || state.submitted.size >= MaxForms)
        return;
    state.submitted.set(JSON.stringify(form), form);
};
for (const doc of documents()) {
    if (doc.__pelvaneArmed)
        continue;
    doc.__pelvaneArmed = true;
    doc.addEventListener('submit', (event) => note(event.target), true);
    // Sign-ins sent by the page's script, without a submit.
    doc.addEventListener('click', (event) => {
        const button = event.target && event.target.closest &&
            event.target.closest('button, input[type=submit], input[type=button], input[type=image]');
        if (button)
            note(button.form || button.ownerDocument);
    }, true);
    // Where the user went into a field of a sign-in form: the program may offer its
    // accounts there.
    doc.addEventListener('focusin', (event) => {
        const el = event.target;
        if (!el || el.tagName !== 'INPUT' || !['text', 'email', 'tel', 'password'].includes(typeOf(el)))
            return;
        if (!formOf(el.form || el.ownerDocument, false))
            return;
        const box = el.getBoundingClientRect();
        let x = box.left, y = box.top;
        for (let w = el.ownerDocument.defaultView; w && w.frameElement; w = w.parent) {
            const outer = w.frameElement.getBoundingClientRect();
            x += outer.left;
            y += outer.top;
        }
        state.focus = {x: Math.round(x), y: Math.round(y), width: Math.round(box.width),
                       height: Math.round(box.height), seq: (state.focus ? state.focus.seq : 0) + 1, page: state.id};
    }, true);
    doc.addEventListener('keydown', (event) => {
        const el = event.target;
        if (event.key === 'Enter' && el && el.tagName === 'INPUT' && typeOf(el) === 'password')
            note(el.form || el.ownerDocument);
    }, true);
}
const forms = [];
for (const doc of documents()) {
    for (const root of rootsOf(doc)) {
        const form = formOf(root, false);
        if (form && forms.length < MaxForms)
            forms.push(form);
    }
}
const submitted = Array.from(state.submitted.values());
state.submitted.clear();
return {forms: forms, submitted: submitted, filled: state.filled, focus: state.focus || null};
)js";

// Plain script without the shared part: it runs beside the page's own.
const char* const FieldSeen = R"js(
(function () {
    const seen = [];
    const has = (doc) => {
        if (!doc || seen.includes(doc) || seen.length >= 20)
            return false;
        seen.push(doc);
        if (doc.querySelector('input[type=password i]'))
            return true;
        for (const frame of doc.querySelectorAll('iframe, frame')) {
            let inner = null;
            try { inner = frame.contentDocument; } catch (e) { inner = null; }
            if (inner && inner.location && inner.location.origin === document.location.origin &&
                has(inner))
                return true;
        }
        return false;
    };
    return has(document);
})()
)js";

const char* const Fill = R"js(
const [origin, userField, passwordField, username, password] = args.map(String);
const state = window.__pelvanePasswords || (window.__pelvanePasswords = {submitted: new Map(), filled: false, id: String(Math.random())});
const named = (el, name) => name !== '' && (el.getAttribute('name') === name || el.id === name);
let filled = 0;
const set = (el, value) => {
    el.value = value;
    el.dispatchEvent(new Event('input', {bubbles: true}));
    el.dispatchEvent(new Event('change', {bubbles: true}));
    ++filled;
};
for (const doc of documents()) {
    if (doc.location.origin !== origin)
        continue;
    for (const root of rootsOf(doc)) {
        const inputs = inputsOf(root);
        const passwords = inputs.filter((el) => typeOf(el) === 'password');
        const pass = passwords.find((el) => named(el, passwordField)) ||
            (passwords.length === 1 ? passwords[0] : null);
        if (!pass)
            continue;
        set(pass, password);
        const user = inputs.find((el) => el !== pass && named(el, userField));
        if (user && username !== '')
            set(user, username);
    }
}
if (filled > 0)
    state.filled = true;
return filled;
)js";

QString common()
{
    return QString::fromLatin1(Common)
        .arg(PasswordRules::MaxValue)
        .arg(PasswordRules::MaxFields)
        .arg(PasswordRules::MaxForms);
}

} // namespace

namespace PasswordScripts {

QString passwordFieldSeen()
{
    return QString::fromLatin1(FieldSeen);
}

QString look()
{
    return common() + QString::fromLatin1(Look);
}

QString fill()
{
    return common() + QString::fromLatin1(Fill);
}

} // namespace PasswordScripts
