#include "formfiller/FormScripts.h"

namespace {

// Calls visit(element) for every text field of the page and of the frames it can reach.
// Runs in the program's own script world, so the page cannot replace what it uses.
const char* const Walk = R"js(
const isTextField = (el) => {
    if (el.tagName !== 'INPUT')
        return false;
    const type = el.getAttribute('type');
    return type === null || type === 'text';
};
const walk = (visit) => {
    const seen = new Set();
    const visitDocument = (doc) => {
        if (!doc || seen.has(doc))
            return;
        seen.add(doc);
        const all = doc.getElementsByTagName('*');
        for (let i = 0; i < all.length; ++i) {
            const el = all[i];
            if (isTextField(el))
                visit(el);
            else if (el.tagName === 'IFRAME' || el.tagName === 'FRAME') {
                let inner = null;
                try { inner = el.contentDocument; } catch (e) { inner = null; }
                visitDocument(inner);
            }
        }
    };
    visitDocument(document);
};
)js";

const char* const Collect = R"js(
const fields = [];
walk((el) => {
    const name = el.getAttribute('name') || '';
    if (name === '' || name.length > args[0] || fields.length >= args[1])
        return;
    fields.push([name, (el.getAttribute('autocomplete') || '').slice(0, args[0])]);
});
return fields;
)js";

const char* const Fill = R"js(
const values = new Map();
for (const pair of args[0]) {
    const key = String(pair[0]).toLowerCase();
    if (!values.has(key))
        values.set(key, String(pair[1]));
}
let filled = 0;
walk((el) => {
    const value = values.get((el.getAttribute('name') || '').toLowerCase());
    if (value === undefined || value === '')
        return;
    el.value = value;
    // Pages that keep their own copy of a field's text learn of the change as they would
    // of typing.
    el.dispatchEvent(new Event('input', {bubbles: true}));
    el.dispatchEvent(new Event('change', {bubbles: true}));
    ++filled;
});
return filled;
)js";

} // namespace

namespace FormScripts {

QString collectFields()
{
    return QString::fromLatin1(Walk) + QString::fromLatin1(Collect);
}

QString fillFields()
{
    return QString::fromLatin1(Walk) + QString::fromLatin1(Fill);
}

} // namespace FormScripts
