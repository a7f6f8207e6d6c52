#include "formfiller/FormScripts.h"

namespace {

// Calls visit(element, type) for every field of the page and of the frames it can reach
// that a fill may type into. Runs in the program's own script world, so the page cannot
// replace what it uses.
const char* const Walk = R"js(
const filledTypes = new Set(['text', 'search', 'email', 'tel', 'url', 'number']);
const fieldType = (el) => {
    if (el.tagName !== 'INPUT')
        return null;
    const type = el.getAttribute('type');
    if (type === null)
        return 'text';
    return filledTypes.has(type) ? type : null;
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
            const type = fieldType(el);
            if (type !== null)
                visit(el, type);
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
walk((el, type) => {
    const name = el.getAttribute('name') || '';
    if (name === '' || name.length > args[0] || fields.length >= args[1])
        return;
    fields.push([name, (el.getAttribute('autocomplete') || '').slice(0, args[0]), type]);
});
return fields;
)js";

const char* const Fill = R"js(
// A value is given for a name and a type: a field of another type with the same name may
// take no value of that kind.
const values = new Map();
const keyOf = (name, type) => name.toLowerCase() + '\n' + type;
for (const answer of args[0]) {
    const key = keyOf(String(answer[0]), String(answer[1]));
    if (!values.has(key))
        values.set(key, String(answer[2]));
}
let filled = 0;
walk((el, type) => {
    const value = values.get(keyOf(el.getAttribute('name') || '', type));
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
