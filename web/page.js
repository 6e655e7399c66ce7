// The tuning page's script: it draws what the programs' own code (the
// WebAssembly module, createLumora) works out, and moves data between the
// user's files, the form and that code. It reads, computes and writes
// nothing itself.
'use strict';

(function () {
  const byId = (id) => document.getElementById(id);
  // The section titles, unit choices and gear words, from the core's key
  // table when it is ready.
  let words = null;

  // What the page holds: the definition file as it will be saved, its name,
  // the model, and what the code said about them last.
  const state = {
    core: null,
    name: null,          // null: no file yet
    named: false,        // the name is an opened file's (else a new file's, asked for on saving)
    bytes: new Uint8Array(0),
    view: null,          // the last evaluation
    model: null,         // {name, bytes}
    modelRun: null,      // the last run on the model: {done, alreadyLit, output, model}
    downloadable: null,  // {name, bytes} offered by "Download model"
    fields: new Map(),   // "section:index" of a field of the form -> the field's elements
    figuresNear: true,   // the table of figures is in the picture panel's part in view (and so filled at each step)
    figuresTimer: 0,
    modelTimer: 0,
    evaluations: 0,
    modelRuns: 0,
    // The definition as opened (what each field's Reset goes back to, and
    // what the picture draws faintly once changed) and as last saved; its
    // form as opened.
    opened: new Uint8Array(0),
    saved: new Uint8Array(0),
    openedFields: new Map(),
    // Undo and redo: the definitions before (past) and after (future) the
    // one shown, each with the words of its change. The change in progress
    // (a drag, a value being typed) is one step: gesture names it until the
    // control is let go.
    past: [],
    future: [],
    gesture: null,
    keepTimer: 0,
    units: null,       // the core's length units: {units: [...], plain: the one of a number without unit}
    gearTail: null,    // the other gear's kind as chosen while the file names no gear key
    // What is drawn, to redraw only what changed: the messages (as JSON),
    // each line's severity, the picture.
    messagesDrawn: null,
    lineSeverity: new Map(),
    pictureDrawn: null,
    pictureShown: null,  // the picture shown, as drawPicture compares it
  };
  const HISTORY_STEPS = 500;
  // Files the page takes: larger ones are refused before they are read.
  const DEFINITION_LIMIT = 4 * 1024 * 1024;
  const MODEL_LIMIT = 256 * 1024 * 1024;
  // The messages listed, and the lines of the text shown, at most.
  const MESSAGES_SHOWN = 200;
  const LINES_SHOWN = 2000;
  const STORAGE_KEY = 'lumora-tuning-definition';

  function hexBytes(hex) {
    const bytes = new Uint8Array(hex.length / 2);
    for (let i = 0; i < bytes.length; ++i) bytes[i] = parseInt(hex.substr(2 * i, 2), 16);
    return bytes;
  }

  function element(tag, attributes, ...children) {
    const made = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes || {})) {
      if (name === 'text') made.textContent = value;
      else if (name === 'className') made.className = value;
      else made.setAttribute(name, value);
    }
    for (const child of children) made.append(child);
    return made;
  }

  function sameBytes(a, b) {
    if (a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  }

  // Each evaluation redraws only what changed: a property is set only where
  // its value differs, so that the browser lays out and paints no more than
  // the change.
  function put(target, property, value) {
    if (target[property] !== value) target[property] = value;
  }
  function putAttribute(target, name, value) {
    if (target.getAttribute(name) !== value) target.setAttribute(name, value);
  }

  // Makes the nodes under into those under like (a parsed copy of what is
  // to be shown, whose nodes it takes where needed): nodes of the same kind
  // are kept with their attributes and text brought in line, others
  // replaced.
  function morphChildren(into, like) {
    const old = into.childNodes;
    const wanted = [...like.childNodes];
    wanted.forEach((node, i) => {
      if (old[i]) morphNode(old[i], node); else into.append(node);
    });
    while (old.length > wanted.length) into.lastChild.remove();
  }
  function morphNode(now, node) {
    if (now.nodeType !== node.nodeType || now.nodeName !== node.nodeName) {
      now.replaceWith(node);
    } else if (now.nodeType !== Node.ELEMENT_NODE) {
      put(now, 'data', node.data);
    } else {
      for (const attribute of node.attributes) putAttribute(now, attribute.name, attribute.value);
      for (const attribute of [...now.attributes]) {
        if (!node.hasAttribute(attribute.name)) now.removeAttribute(attribute.name);
      }
      morphChildren(now, node);
    }
  }

  // Bytes as text for the browser's storage, and back.
  function bytesToBase64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }
  function base64ToBytes(text) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  // A word for the user that is not one of the core's messages: a file
  // refused, a failure caught; cleared by the next file taken.
  function notify(words) {
    const notice = byId('notice');
    notice.textContent = words;
    notice.hidden = words === '';
  }

  function megabytes(size) { return (size / (1024 * 1024)).toFixed(1) + ' MiB'; }

  // Every call into the core goes through here: a failure (the core's
  // memory exhausted, an abort) is shown, the core is started afresh, and
  // the page goes on with what it holds. Returns null on a failure.
  function core(name, ...args) {
    if (!state.core) {
      notify('The page is starting its code again after a failure; try again in a moment.');
      return null;
    }
    try {
      return state.core[name](...args);
    } catch (error) {
      notify('The page\'s code failed (' + (error && error.message ? error.message : String(error)) + '). ' +
             'The definition was kept; the code is started again.');
      state.core = null;
      // If it cannot start again, there is nothing more the page can do: it
      // keeps what it holds.
      startCore().then((fresh) => { state.core = fresh; }, () => {});
      return null;
    }
  }

  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], {type}));
    const link = element('a', {href: url, download: name});
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  // ---- The form, built once; each evaluation fills it in.

  function fieldId(section, key) { return 'field-' + section + '-' + key; }

  function buildForm(view) {
    const form = byId('form');
    form.replaceChildren();
    for (let section = 0; section < words.sectionTitles.length; ++section) {
      const fieldset = element('fieldset', {id: 'section-' + section});
      const title = words.sectionTitles[section];
      fieldset.append(element('legend', {text: section === 0 ? title + ': number of lights and gear' : title}));
      fieldset.append(element('ul', {className: 'section-messages', id: 'section-messages-' + section}));
      if (section === 0) {
        const kind = element('fieldset', {className: 'gear-kind'}, element('legend', {text: 'The other gear is the'}));
        for (const [value, gearWords] of [['tail', words.tailGearWords], ['nose', words.noseGearWords]]) {
          const radio = element('input', {type: 'radio', name: 'gear-kind', id: 'gear-' + value, value});
          radio.addEventListener('change', () => renameGear(value === 'tail'));
          kind.append(element('label', {}, radio, ' ' + gearWords));
        }
        fieldset.append(kind);
      }
      view.fields.filter((field) => field.section === section).forEach((field, index) => {
        fieldset.append(buildField(field, index));
      });
      form.append(fieldset);
    }
  }

  // The unit a field's box stands for: a number written without one keeps
  // none while the plain unit is chosen.
  function unitOf(entry) {
    if (!entry.unit) return '';
    const chosen = entry.unit.value;
    return chosen === state.units.plain && entry.field.unit === '' ? '' : chosen;
  }

  function decimalsOf(step) {
    const text = String(step);
    return text.includes('.') ? text.length - text.indexOf('.') - 1 : 0;
  }

  // The value a slider announces: rounded to its step, with its unit.
  function sliderWords(entry) {
    const words = entry.unit ? entry.unit.value : entry.row.querySelector('.unit-missing').textContent;
    return Number(entry.slider.value).toFixed(decimalsOf(entry.slider.step)) + ' ' + words;
  }

  // Dragging a slider: with Shift held it moves ten times finer. The page
  // moves the slider itself while the pointer is down, so that the step per
  // pixel can change in the middle of a drag.
  function fineDrag(entry) {
    const slider = entry.slider;
    let drag = null;
    const valueAt = (event) => {
      const box = slider.getBoundingClientRect();
      const min = Number(slider.min);
      const max = Number(slider.max);
      const perPixel = (max - min) / Math.max(1, box.width);
      if (!event.shiftKey) {
        drag.from = event.clientX;
        drag.value = min + (event.clientX - box.left) / Math.max(1, box.width) * (max - min);
      } else {
        drag.value += (event.clientX - drag.from) * perPixel / 10;
        drag.from = event.clientX;
      }
      const step = Number(slider.step) || 1;
      const held = Math.min(max, Math.max(min, drag.value));
      return (Math.round(held / step) * step).toFixed(decimalsOf(slider.step));
    };
    const move = (event) => {
      if (!drag) return;
      const value = valueAt(event);
      if (value === slider.value && drag.moved) return;
      drag.moved = true;
      slider.value = value;
      slider.dispatchEvent(new Event('input', {bubbles: true}));
    };
    slider.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      event.preventDefault();
      slider.focus();
      slider.setPointerCapture(event.pointerId);
      drag = {from: event.clientX, value: Number(slider.value), moved: false};
      if (!event.shiftKey) move(event);
    });
    slider.addEventListener('pointermove', move);
    const end = () => {
      if (!drag) return;
      drag = null;
      slider.dispatchEvent(new Event('change', {bubbles: true}));
    };
    slider.addEventListener('pointerup', end);
    slider.addEventListener('pointercancel', end);
  }

  function buildField(field, index) {
    const id = fieldId(field.section, index);
    const row = element('div', {className: 'field'});
    // The key's name beside its words, where they differ: each control is
    // named once.
    const label = element('label', {for: id}, field.label);
    const keyName = element('code', {text: field.key});
    if (field.label !== field.key) label.append(' ', keyName);
    const input = element('input', {type: 'text', id, inputmode: 'decimal', spellcheck: 'false',
                                    'aria-describedby': id + '-help ' + id + '-messages'});
    const slider = element('input', {type: 'range', 'aria-label': field.label + ' slider', tabindex: '0'});
    let unit = null;
    if (field.takesUnit) {
      unit = element('select', {'aria-label': field.label + ' unit'});
      for (const suffix of state.units.units) unit.append(element('option', {value: suffix, text: suffix}));
    }
    // What the field means, and its default in full (the grey one in the
    // field may not fit).
    const defaultWords = element('span', {className: 'default'});
    const help = element('span', {className: 'help', id: id + '-help'}, field.help, defaultWords);
    const reset = element('button', {type: 'button', className: 'reset', text: 'Reset', disabled: '',
                                     'aria-label': 'Reset ' + field.label + (field.label === field.key ? '' : ' ' + field.key)});
    const messages = element('ul', {className: 'field-messages', id: id + '-messages'});
    // The number box and the slider each sit in a box of a set height that
    // is laid out on its own: a slider's step or a typed digit lays out the
    // control alone, not its field, the form and the page around it.
    const fitted = (control, className = '') => element('div', {className}, element('div', {className: 'fit'}, control));
    row.append(label, fitted(input),
               unit || element('span', {className: 'unit-missing', text: field.key === 'Lights' ? 'count' : 'degrees'}),
               fitted(slider, 'slider-control'), help, reset, messages);
    const entry = {section: field.section, index, key: field.key, row, input, slider, unit, keyName, defaultWords, messages, field,
                   reset, beforeClear: null};
    reset.addEventListener('click', () => resetField(entry));
    input.addEventListener('input', () => typeInto(entry));
    // Retyping a value passes through an empty field, which takes the key's
    // line out; a value typed before the field is left goes back on that line.
    input.addEventListener('blur', () => { entry.beforeClear = null; });
    slider.addEventListener('input', () => {
      input.value = slider.value;
      editField(entry, slider.value, unitOf(entry));
    });
    fineDrag(entry);
    // Arrow Up and Down step the number by the slider's step.
    input.addEventListener('keydown', (event) => {
      if (event.key !== 'ArrowUp' && event.key !== 'ArrowDown') return;
      const step = Number(slider.step) || 1;
      const now = Number(input.value.trim() === '' ? slider.value : input.value);
      if (!Number.isFinite(now)) return;
      event.preventDefault();
      const decimals = decimalsOf(slider.step);
      input.value = (Math.round(now / step) * step + (event.key === 'ArrowUp' ? step : -step)).toFixed(decimals);
      editField(entry, input.value, unitOf(entry));
    });
    if (unit) {
      unit.addEventListener('change', () => {
        const to = unitOf(entry);
        const number = core('convertNumber', input.value, entry.field.unit, to);
        if (number === null) return;
        input.value = number;
        editField(entry, number, to);
      });
    }
    state.fields.set(field.section + ':' + index, entry);
    return row;
  }

  // The fields of a view by "section:index", as the form holds them.
  function fieldsByPlace(view) {
    const places = new Map();
    const counts = new Map();
    for (const field of view.fields) {
      const index = counts.get(field.section) || 0;
      counts.set(field.section, index + 1);
      places.set(field.section + ':' + index, field);
    }
    return places;
  }

  function sameValue(a, b) {
    return a.present === b.present && a.number === b.number && a.unit.toLowerCase() === b.unit.toLowerCase();
  }

  // What a field is drawn from: the field's values, whether it is as opened,
  // what its controls hold and which is in focus. A field drawn from the same
  // stays as it is (compared without making anything: a slider's step
  // compares every field).
  const FIELD_VALUES = ['key', 'number', 'unit', 'present', 'placeholder', 'sliderMin', 'sliderMax', 'sliderStep',
                        'sliderValue'];
  function drawnFrom(entry, field, unchanged, focus) {
    return {field, unchanged, focus, input: entry.input.value, slider: entry.slider.value,
            unit: entry.unit && entry.unit.value, beforeClear: entry.beforeClear !== null};
  }
  function drawnAsBefore(entry, field, unchanged, focus) {
    const was = entry.drawn;
    if (!was || was.unchanged !== unchanged || was.focus !== focus || was.input !== entry.input.value ||
        was.slider !== entry.slider.value || was.unit !== (entry.unit && entry.unit.value) ||
        was.beforeClear !== (entry.beforeClear !== null)) {
      return false;
    }
    for (const name of FIELD_VALUES) if (was.field[name] !== field[name]) return false;
    return true;
  }

  function fillForm(view) {
    const active = document.activeElement;
    for (const [place, field] of fieldsByPlace(view)) {
      const entry = state.fields.get(place);
      const opened = state.openedFields.get(place);
      const unchanged = state.name === null || !opened || sameValue(field, opened);
      const focus = active === entry.input || active === entry.slider || (entry.unit && active === entry.unit) ? active : null;
      entry.field = field;
      if (drawnAsBefore(entry, field, unchanged, focus)) continue;
      put(entry.reset, 'disabled', unchanged);
      entry.key = field.key;
      put(entry.keyName, 'textContent', field.key);
      if (focus !== entry.input) put(entry.input, 'value', field.number);
      put(entry.input, 'placeholder', field.placeholder);
      // A number being typed (or cleared and retyped) keeps the unit it shows.
      const retyping = focus === entry.input || (!field.present && entry.beforeClear !== null);
      if (entry.unit && focus !== entry.unit && !retyping) {
        put(entry.unit, 'value', field.unit === '' ? state.units.plain : field.unit.toLowerCase());
      }
      put(entry.defaultWords, 'textContent', field.placeholder === '' ? '' : ' (when empty: ' + field.placeholder + ')');
      put(entry.slider, 'min', String(field.sliderMin));
      put(entry.slider, 'max', String(field.sliderMax));
      put(entry.slider, 'step', String(field.sliderStep));
      if (focus !== entry.slider) put(entry.slider, 'value', String(field.sliderValue));
      putAttribute(entry.slider, 'aria-valuetext', sliderWords(entry));
      entry.drawn = drawnFrom(entry, field, unchanged, focus);
    }
    const tail = state.gearTail !== null ? state.gearTail : view.otherGearTail;
    put(byId('gear-tail'), 'checked', tail);
    put(byId('gear-nose'), 'checked', !tail);
    // The light sections in use, and any the file has beyond them.
    const count = view.lightCount >= 1 && view.lightCount <= 3 ? view.lightCount : 1;
    for (let section = 1; section < words.sectionTitles.length; ++section) {
      put(byId('section-' + section), 'hidden', section > count && !view.sectionsDefined[section]);
    }
  }

  // ---- Messages: in the list, beside their field or section, on their line.

  function messageItem(message, withLink) {
    const item = element('li', {className: message.severity},
                         element('div', {className: 'msg-text', text: message.text.replace(/\n$/, '')}));
    if (message.hint) item.append(element('div', {className: 'msg-hint', text: message.hint}));
    if (withLink && message.fix) item.append(fixButton(message));
    if (withLink && message.line > 0) {
      const go = element('button', {type: 'button', className: 'goto', text: 'line ' + message.line});
      go.addEventListener('click', () => showLine(message));
      item.firstChild.append(go);
    }
    return item;
  }

  function entryOf(message, key) {
    for (const entry of state.fields.values()) {
      if (entry.section === message.section && entry.key === (key || message.key)) return entry;
    }
    return null;
  }

  function showLine(message) {
    const entry = message.key ? entryOf(message) : null;
    fillLines();
    const line = document.querySelector('#text-lines li[data-line="' + message.line + '"]');
    if (line) {
      line.scrollIntoView({block: 'nearest'});
      line.classList.add('flash');
      setTimeout(() => line.classList.remove('flash'), 1500);
    }
    if (entry && !entry.row.closest('fieldset').hidden) entry.input.focus();
  }

  function fillMessages(view) {
    const all = state.name !== null ? view.messages : [];
    // Most changes leave the messages as they were: they stay drawn.
    const drawn = JSON.stringify(all);
    if (drawn === state.messagesDrawn) return;
    state.messagesDrawn = drawn;
    const list = byId('message-list');
    list.replaceChildren();
    for (let section = 0; section < words.sectionTitles.length; ++section) byId('section-messages-' + section).replaceChildren();
    for (const entry of state.fields.values()) {
      entry.messages.replaceChildren();
      entry.row.classList.remove('has-error', 'has-warning');
      entry.input.removeAttribute('aria-invalid');
    }
    const lineSeverity = new Map();
    for (const message of all.slice(0, MESSAGES_SHOWN)) {
      list.append(messageItem(message, true));
      // At every field whose value fixes it.
      const entries = message.keys.map((key) => entryOf(message, key)).filter((entry) => entry);
      for (const entry of entries) {
        entry.messages.append(messageItem(message, false));
        if (message.severity === 'error') {
          entry.row.classList.add('has-error');
          entry.input.setAttribute('aria-invalid', 'true');
        }
        if (message.severity === 'warning') entry.row.classList.add('has-warning');
      }
      if (!entries.length && message.section >= 0 && message.severity !== 'progress') {
        byId('section-messages-' + message.section).append(messageItem(message, false));
      }
      if (message.line > 0 && message.severity !== 'progress' && !lineSeverity.has(message.line)) {
        lineSeverity.set(message.line, message.severity);
      }
    }
    if (all.length > MESSAGES_SHOWN) {
      list.append(element('li', {className: 'more-messages',
                                 text: 'and ' + (all.length - MESSAGES_SHOWN) + ' more messages, not shown (' +
                                       all.length + ' in all)'}));
    }
    state.lineSeverity = lineSeverity;
  }

  // The text's lines, marked with their messages' severity: only the lines
  // that changed are redrawn.
  function fillLines() {
    const all = core('definitionLines', state.bytes) || [];
    const lines = byId('text-lines');
    const shown = all.slice(0, LINES_SHOWN);
    const items = lines.children;
    shown.forEach((line, i) => {
      let item = items[i];
      if (!item || item.classList.contains('more-messages')) {
        item = element('li', {}, element('span', {className: 'number'}), element('span', {className: 'code'}));
        lines.insertBefore(item, items[i] || null);
      }
      putAttribute(item, 'data-line', String(line.number));
      put(item.firstChild, 'textContent', String(line.number));
      put(item.lastChild, 'textContent', line.text);
      put(item, 'className', state.lineSeverity.get(line.number) || '');
    });
    while (items.length > shown.length) lines.lastChild.remove();
    if (all.length > LINES_SHOWN) {
      lines.append(element('li', {className: 'more-messages',
                                  text: 'and ' + (all.length - LINES_SHOWN) + ' more lines, not shown'}));
    }
  }

  // ---- Mending the file: the text box and the fix buttons. The core works
  // out every change's bytes; each is one step through commitDefinition.

  function fixButton(message) {
    const button = element('button', {type: 'button', className: 'fix', text: message.fix});
    button.addEventListener('click', () => {
      commitDefinition(core('applyFix', state.bytes, message.fixLine, message.fixText, message.fixRemoves), message.fix);
    });
    return button;
  }

  // The text (the box and the lines) follows the definition while it is
  // near the window, the box also while in focus: out of view it is brought
  // in line when it comes near, as laying the text out again at every step
  // of a slider costs more than the rest of the change. Focus fills the box
  // before the first key is typed. Lines that come or go are drawn at once
  // even out of view: the panel's height changes with them, and what stands
  // below it must not move under the pointer as the panel comes near.
  let textNear = true;
  function fillText(focused = false) {
    if (state.view && (textNear || !sameLineCount(state.view))) fillLines();
    const box = byId('definition-text');
    if (!focused && (document.activeElement === box || !textNear)) return;
    const text = core('definitionText', state.bytes);
    if (text !== null) put(box, 'value', text);
  }

  function sameLineCount(view) {
    const shown = Math.min(view.lineCount, LINES_SHOWN) + (view.lineCount > LINES_SHOWN ? 1 : 0);
    return byId('text-lines').children.length === shown;
  }

  function wireTextBox() {
    const box = byId('definition-text');
    box.addEventListener('input', (event) => {
      commitDefinition(core('replaceText', state.bytes, event.target.value), 'Edit text');
    });
    box.addEventListener('focus', () => fillText(true));
    new IntersectionObserver((seen) => {
      textNear = seen[seen.length - 1].isIntersecting;
      fillText();
    }, {rootMargin: '50% 0px'}).observe(box.closest('section'));
  }

  // Out of view, the table is filled once the edits pause rather than at
  // each step (and at once when it comes into view). Rows that come or go,
  // or change kind, are drawn at once: the table's height changes with
  // them, and what stands below it must not move under the pointer later.
  function fillFigures(view) {
    clearTimeout(state.figuresTimer);
    if (state.figuresNear || !sameRows(view)) drawFigures(view);
    else state.figuresTimer = setTimeout(() => state.view && drawFigures(state.view), 250);
  }
  // A light's cells: its figures, or the words why it has none; each row
  // has the light's name before them.
  const cellsOf = (figures) => figures.lit ? figures.cells : [figures.text];
  function sameRows(view) {
    const rows = byId('figures').tBodies[0].rows;
    return rows.length === view.figures.length &&
           view.figures.every((figures, i) => rows[i].cells.length === cellsOf(figures).length + 1);
  }
  function drawFigures(view) {
    const body = byId('figures').tBodies[0];
    const rows = body.rows;
    view.figures.forEach((figures, i) => {
      const cells = cellsOf(figures);
      let row = rows[i];
      if (!row || row.cells.length !== cells.length + 1) {
        const made = element('tr', {}, element('th', {scope: 'row'}));
        for (let cell = 0; cell < cells.length; ++cell) {
          made.append(figures.lit ? element('td') : element('td', {className: 'words', colspan: '6'}));
        }
        if (row) row.replaceWith(made);
        else body.append(made);
        row = made;
      }
      put(row.cells[0], 'textContent', 'Light ' + figures.light);
      cells.forEach((cell, k) => put(row.cells[k + 1], 'textContent', cell));
    });
    while (rows.length > view.figures.length) body.lastChild.remove();
  }

  function fillVerdict(view) {
    let stateName = 'no-file';
    let words = 'No file yet: open a definition file, drop one on this page, or start from an example.';
    if (state.name !== null) {
      stateName = view.wouldWrite ? 'would-write' : view.errors > 0 ? 'errors' : 'would-not-write';
      words = view.verdict;
    }
    put(document.body.dataset, 'state', stateName);
    put(byId('verdict'), 'textContent', words);
  }

  // ---- Evaluating and editing: the code's work, drawn.

  // A change is laid out at once, while its event waits for the display's
  // next frame, so that the frame that shows it has less to do (about a
  // millisecond off the slower tenth of a slider's steps).
  function evaluate() {
    const view = core('evaluate', state.name || 'lights.cfg', state.bytes, state.opened);
    if (!view) return;
    render(view);
    void document.body.offsetHeight;
  }

  // The picture: what changed is brought in line on the picture shown, so
  // that what stays (the axes, the ground, most texts) is neither parsed,
  // nor laid out and drawn again. The core writes the picture's elements a
  // line each, a group's opening and closing on lines of their own; the
  // parser leaves a line end after each element. The elements under the
  // root, and under each group, are compared by their lines: those the same
  // stay; where as many changed as before, an element of the same name has
  // its attributes and words set (most of a step's changes: <line …/>,
  // <text …>words</text>) and a group is brought in line in the same way;
  // the other changed ones are parsed aside and put in place of the old.
  // Where nothing else serves, the whole picture is parsed.
  const pictureParser = document.createElement('template');
  function depthChange(line) {
    let change = 0;
    for (let i = line.indexOf('<'); i >= 0; i = line.indexOf('<', i + 1)) change += line[i + 1] === '/' ? -1 : 1;
    for (let i = line.indexOf('/>'); i >= 0; i = line.indexOf('/>', i + 2)) --change;
    return change;
  }
  // Where the elements side by side in lines [first, end) begin, with end
  // after the last; null where those lines are not such elements.
  function elementsIn(lines, first, end) {
    const starts = [];
    let depth = 0;
    for (let i = first; i < end && depth >= 0; ++i) {
      if (depth === 0) {
        if (!/^<[a-zA-Z]/.test(lines[i])) return null;
        starts.push(i);
      }
      depth += depthChange(lines[i]);
    }
    starts.push(end);
    return depth === 0 ? starts : null;
  }
  function sameLines(was, wasFirst, wasEnd, lines, first, end) {
    if (wasEnd - wasFirst !== end - first) return false;
    for (let i = 0; i < end - first; ++i) if (was[wasFirst + i] !== lines[first + i]) return false;
    return true;
  }
  const elementLine = /^<([a-zA-Z]+)((?: [^ =]+="[^"<]*")*) ?(\/>|>([^<]*)<\/\1>|>)$/;
  const attributePattern = / ([^ =]+)="([^"]*)"/g;
  const xmlEntities = {amp: '&', lt: '<', gt: '>', quot: '"', apos: "'"};
  const unescapeXml = (text) => text.includes('&') ? text.replace(/&(amp|lt|gt|quot|apos);/g, (entity, name) => xmlEntities[name]) : text;
  const isOpening = (line) => !line.endsWith('/>') && !line.includes('</');
  // Sets element, which line was drew, to what line says, where both are one
  // element, or both an opening, of the same name. Returns whether it did.
  function setElement(element, was, line) {
    if (was === line) return true;
    const parts = elementLine.exec(line);
    if (!parts || parts[1] !== element.tagName || (parts[3] === '>') !== isOpening(was) ||
        /&(?!(amp|lt|gt|quot|apos);)/.test(line)) {
      return false;
    }
    let named = 0;
    attributePattern.lastIndex = 0;
    for (let attribute; (attribute = attributePattern.exec(parts[2])) !== null; ++named) {
      putAttribute(element, attribute[1], unescapeXml(attribute[2]));
    }
    if (element.attributes.length !== named) {
      const names = new Set([...parts[2].matchAll(attributePattern)].map((attribute) => attribute[1]));
      for (const attribute of [...element.attributes]) if (!names.has(attribute.name)) element.removeAttribute(attribute.name);
    }
    if (parts[3] === '>') return true;  // an opening: what it holds is on lines of its own
    const text = parts[4] === undefined ? '' : unescapeXml(parts[4]);
    const only = element.firstChild;
    if (only && only === element.lastChild && only.nodeType === Node.TEXT_NODE && text !== '') put(only, 'data', text);
    else if (text !== '' || only) element.textContent = text;
    return true;
  }
  // Brings element, drawn from was[wasFirst, wasEnd), in line with
  // lines[first, end).
  function bringElementInLine(element, was, wasFirst, wasEnd, lines, first, end) {
    if (wasEnd - wasFirst === 1 || end - first === 1) {
      return wasEnd - wasFirst === end - first && setElement(element, was[wasFirst], lines[first]);
    }
    return was[wasEnd - 1] === lines[end - 1] && setElement(element, was[wasFirst], lines[first]) &&
           bringChildrenInLine(element, was, wasFirst + 1, wasEnd - 1, lines, first + 1, end - 1);
  }
  // Brings the elements under parent, drawn from was[wasFirst, wasEnd), in
  // line with lines[first, end). Returns whether it could.
  function bringChildrenInLine(parent, was, wasFirst, wasEnd, lines, first, end) {
    const old = elementsIn(was, wasFirst, wasEnd);
    const now = elementsIn(lines, first, end);
    // Each element shown is followed by its line end, the first preceded by one.
    if (!old || !now || parent.children.length !== old.length - 1 || parent.childNodes.length !== 2 * old.length - 1) {
      return false;
    }
    const same = (k, j) => sameLines(was, old[k], old[k + 1], lines, now[j], now[j + 1]);
    let head = 0;
    while (head < old.length - 1 && head < now.length - 1 && same(head, head)) ++head;
    let oldEnd = old.length - 1;
    let nowEnd = now.length - 1;
    while (oldEnd > head && nowEnd > head && same(oldEnd - 1, nowEnd - 1)) {
      --oldEnd;
      --nowEnd;
    }
    if (oldEnd - head === nowEnd - head) {
      for (let k = head; k < oldEnd; ++k) {
        if (!bringElementInLine(parent.children[k], was, old[k], old[k + 1], lines, now[k], now[k + 1])) {
          replaceElements(parent, k, 1, lines, now[k], now[k + 1]);
        }
      }
    } else {
      replaceElements(parent, head, oldEnd - head, lines, now[head], now[nowEnd]);
    }
    return true;
  }
  // Puts the elements of lines[first, end) in place of count elements under
  // parent from the index-th on; each is followed by its line end.
  function replaceElements(parent, index, count, lines, first, end) {
    for (let k = 0; k < count; ++k) {
      const element = parent.children[index];
      element.nextSibling.remove();
      element.remove();
    }
    if (first === end) return;
    pictureParser.innerHTML = '<svg>' + lines.slice(first, end).join('\n') + '\n</svg>';
    const parsed = document.createDocumentFragment();
    parsed.append(...pictureParser.content.firstChild.childNodes);
    parent.insertBefore(parsed, parent.children[index] || null);
    pictureParser.innerHTML = '';
  }
  function drawPicture(drawn) {
    if (drawn === state.pictureDrawn) return;
    state.pictureDrawn = drawn;
    const lines = drawn.split('\n');
    const shown = state.pictureShown;
    const picture = byId('picture');
    // The declaration and the root's end stay; the root's opening is set.
    if (shown && lines[0] === shown.lines[0] && lines[lines.length - 2] === '</svg>' &&
        setElement(shown.svg, shown.lines[1], lines[1]) &&
        bringChildrenInLine(shown.svg, shown.lines, 2, shown.lines.length - 2, lines, 2, lines.length - 2)) {
      shown.lines = lines;
      return;
    }
    pictureParser.innerHTML = drawn;
    morphChildren(picture, pictureParser.content);
    pictureParser.innerHTML = '';
    const svg = picture.querySelector('svg');
    state.pictureShown = svg && lines[lines.length - 2] === '</svg>' ? {svg, lines} : null;
  }

  function render(view) {
    state.view = view;
    const drawn = state.name !== null ? view.svg : '';
    drawPicture(drawn);
    put(byId('save-picture'), 'disabled', drawn === '');
    fillVerdict(view);
    fillForm(view);
    fillMessages(view);
    fillFigures(view);
    fillText();
    put(byId('file-name'), 'textContent', state.name !== null ? state.name : 'No file yet');
    put(byId('encoding'), 'textContent', state.name !== null ? '(' + view.encoding + ')' : '');
    document.body.dataset.evaluations = String(++state.evaluations);
    scheduleModelRun();
  }

  // Every change of the definition comes here: a field, a slider, a unit,
  // the gear's kind, a fix, the text, a light added or taken out. It is one
  // step to undo, or part of the step in progress (a drag, a value being
  // typed) when that has the same words; then the page shows the new
  // definition. Returns whether the definition was taken.
  function commitDefinition(bytes, label) {
    if (bytes === null || bytes === undefined) return false;  // the file cannot be decoded: nothing to edit
    bytes = bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes);
    if (!sameBytes(bytes, state.bytes)) {
      if (state.gesture === null || state.gesture !== label) {
        state.past.push({bytes: state.bytes, label});
        if (state.past.length > HISTORY_STEPS) state.past.shift();
      }
      state.future = [];
      state.gesture = label;
    }
    state.bytes = bytes;
    if (state.name === null) state.name = 'lights.cfg';
    evaluate();
    historyChanged();
    return true;
  }

  // The step in progress ends when its control is let go; a step that came
  // back to where it began (a value retyped as it was) is no step.
  function endGesture() {
    const last = state.past[state.past.length - 1];
    if (state.gesture !== null && last && sameBytes(last.bytes, state.bytes)) {
      state.past.pop();
      historyChanged();
    }
    state.gesture = null;
  }

  // Undo takes a step from the past into the future, redo the other way.
  function travel(from, to) {
    endGesture();
    const step = state[from].pop();
    if (!step) return;
    state[to].push({bytes: state.bytes, label: step.label});
    state.bytes = step.bytes;
    evaluate();
    historyChanged();
  }

  function undo() { travel('past', 'future'); }

  function redo() { travel('future', 'past'); }

  function changed() { return state.name !== null && !sameBytes(state.bytes, state.saved); }

  function historyChanged() {
    const undoButton = byId('undo');
    const redoButton = byId('redo');
    const last = state.past[state.past.length - 1];
    const next = state.future[state.future.length - 1];
    put(undoButton, 'disabled', !last);
    put(redoButton, 'disabled', !next);
    put(undoButton, 'title', last ? 'Undo: ' + last.label : '');
    put(redoButton, 'title', next ? 'Redo: ' + next.label : '');
    keepSoon();
  }

  // The edited definition is kept in the browser's storage, so that a tab
  // closed or a browser that crashed loses nothing; it is offered back on
  // the next visit. Nothing is kept while the definition is as opened or
  // saved.
  function keepSoon() {
    clearTimeout(state.keepTimer);
    state.keepTimer = setTimeout(keep, 200);
  }
  function keep() {
    clearTimeout(state.keepTimer);
    if (state.name === null) return;  // nothing opened yet: what was kept stays for the offer
    try {
      if (changed()) {
        localStorage.setItem(STORAGE_KEY, JSON.stringify({name: state.name, bytes: bytesToBase64(state.bytes),
                                                          opened: bytesToBase64(state.opened), when: Date.now()}));
      } else {
        localStorage.removeItem(STORAGE_KEY);
      }
    } catch (error) {
      // Storage full or refused: the page works on without it.
    }
  }

  function offerKept() {
    let kept = null;
    try {
      kept = JSON.parse(localStorage.getItem(STORAGE_KEY) || 'null');
    } catch (error) {
      kept = null;
    }
    if (!kept || typeof kept.name !== 'string' || typeof kept.bytes !== 'string') return;
    byId('restore-words').textContent = 'Your changed definition ' + kept.name + ' from ' +
                                         new Date(kept.when).toLocaleString() + ' was kept in this browser.';
    byId('restore').hidden = false;
    byId('restore-yes').onclick = () => {
      byId('restore').hidden = true;
      try {
        const opened = kept.opened ? base64ToBytes(kept.opened) : new Uint8Array(0);
        if (!openDefinition(kept.name, opened)) return;
        commitDefinition(base64ToBytes(kept.bytes), 'Restore ' + kept.name);
      } catch (error) {
        notify('The kept definition could not be restored: ' + error.message);
      }
    };
    byId('restore-no').onclick = () => {
      byId('restore').hidden = true;
      try {
        localStorage.removeItem(STORAGE_KEY);
      } catch (error) {
        // nothing kept to remove
      }
    };
  }

  function fieldLabel(entry) {
    return (entry.section === 0 ? '' : '[Light ' + entry.section + '] ') + entry.key;
  }

  // A change of a field. Where the other gear's kind was chosen before the
  // file named any gear key, the keys written follow that choice.
  function setBytes(bytes, entry) {
    if (bytes !== null && state.gearTail !== null) {
      const renamed = core('renameOtherGear', bytes, state.gearTail);
      if (renamed !== null) bytes = renamed;
    }
    commitDefinition(bytes, fieldLabel(entry));
  }

  function resetField(entry) {
    const opened = state.openedFields.get(entry.section + ':' + entry.index);
    if (!opened) return;
    endGesture();
    const bytes = core('editField', state.bytes, entry.section, entry.key, opened.present ? opened.number : '',
                       opened.present ? opened.unit : '');
    commitDefinition(bytes, 'Reset ' + fieldLabel(entry));
    endGesture();
  }

  function typeInto(entry) {
    const unit = unitOf(entry);
    const empty = entry.input.value.trim() === '';
    if (empty && entry.beforeClear === null && entry.field.present) entry.beforeClear = state.bytes;
    if (!empty && entry.beforeClear !== null) {
      const restored = entry.beforeClear;
      entry.beforeClear = null;
      setBytes(core('editField', restored, entry.section, entry.key, entry.input.value, unit), entry);
      return;
    }
    editField(entry, entry.input.value, unit);
  }

  function editField(entry, number, unit) {
    setBytes(core('editField', state.bytes, entry.section, entry.key, number, unit), entry);
  }

  function renameGear(tail) {
    if (state.name === null) return;
    endGesture();
    const bytes = core('renameOtherGear', state.bytes, tail);
    if (bytes === null) return;
    // A file that names no gear key yet keeps the choice for the keys to come.
    state.gearTail = sameBytes(bytes, state.bytes) ? tail : null;
    if (!commitDefinition(bytes, tail ? 'Tail gear' : 'Nose gear') || sameBytes(bytes, state.bytes)) fillForm(state.view);
    endGesture();
  }

  // An opened file is saved under its own name; a new one asks for a name.
  function saveDefinition() {
    if (!state.named) {
      const name = window.prompt('Save the definition file as', state.name || 'lights.cfg');
      if (!name) return;
      state.name = name;
      state.named = true;
      byId('file-name').textContent = name;
    }
    download(state.name, state.bytes, 'application/octet-stream');
    state.saved = state.bytes;
    keep();
  }

  // Opens a definition in place of the one shown, after asking where that
  // one has changes not saved. Returns whether it was opened.
  function openDefinition(name, bytes) {
    if (changed() && !window.confirm('The definition ' + state.name + ' has changes that are not saved. ' +
                                     'Replace it with ' + name + ' and lose them?')) {
      return false;
    }
    const view = core('evaluate', name, bytes, bytes);
    if (!view) return false;
    state.named = true;
    state.name = name;
    state.bytes = bytes;
    state.opened = bytes;
    state.saved = bytes;
    state.past = [];
    state.future = [];
    endGesture();
    state.openedFields = fieldsByPlace(view);
    state.gearTail = null;
    render(view);
    historyChanged();
    return true;
  }

  // ---- The model.

  function scheduleModelRun() {
    if (!state.model) return;
    clearTimeout(state.modelTimer);
    state.modelTimer = setTimeout(runModel, 120);
  }

  function showModelRun(run, words, offered) {
    state.modelRun = run;
    state.downloadable = run.done ? offered : null;
    byId('model-state').textContent = words;
    byId('model-output').hidden = false;
    byId('model-output').textContent = run.output;
    byId('download-model').disabled = !run.done;
    byId('take-lights-out').hidden = !run.alreadyLit;
    document.body.dataset.modelRuns = String(++state.modelRuns);
  }

  function runModel() {
    clearTimeout(state.modelTimer);
    if (!state.model) return;
    if (state.name === null) {
      byId('model-state').textContent = state.model.name + ': open a definition file to give it lights.';
      return;
    }
    const run = core('applyToModel', state.model.name, state.model.bytes, state.name, state.bytes);
    if (!run) {
      byId('model-state').textContent = 'veska could not be run on ' + state.model.name + ': see the message at the top.';
      return;
    }
    let words;
    if (run.done) words = state.model.name + ' with lights is ready: Download model.';
    else if (run.alreadyLit) words = state.model.name + ' has lights already: take them out first (Take lights out), then apply again.';
    else words = 'veska would not write ' + state.model.name + ': see its messages below.';
    showModelRun(run, words, {name: state.model.name, bytes: run.model});
  }

  function openModel(name, bytes) {
    state.model = {name, bytes};
    runModel();
  }

  function takeLightsOut() {
    const run = core('takeLightsOut', state.model.name, state.model.bytes);
    if (!run) return;
    if (run.done) {
      // The model without lights is offered, and the page goes on with it.
      state.model = {name: state.model.name, bytes: run.model};
      showModelRun(run, state.model.name + ' without its lights is ready: Download model. Lights are applied to it again as you tune.',
                    {name: state.model.name, bytes: run.model});
    } else {
      showModelRun(run, 'The lights cannot be taken out of ' + state.model.name + ': see below.', null);
    }
  }

  // ---- Files in: pickers and drops.

  // A file's first bytes, enough for the core to tell a model, and the
  // whole file: null, with the reason shown, where it cannot be read.
  async function read(file, length) {
    try {
      return new Uint8Array(await (length === undefined ? file : file.slice(0, length)).arrayBuffer());
    } catch (error) {
      notify(file.name + ' could not be read (' + (error && error.message ? error.message : String(error)) +
             '). The definition was kept.');
      return null;
    }
  }

  // A file given as a definition file (wanted 'definition') or as the
  // model: read whole and returned only where it is not larger than the
  // page takes and its bytes are of that kind; else null, with the reason
  // shown.
  async function takeFile(file, wanted) {
    const model = wanted === 'model';
    const limit = model ? MODEL_LIMIT : DEFINITION_LIMIT;
    if (file.size > limit) {
      notify(file.name + ' is ' + megabytes(file.size) + ': ' + (model ? 'a model' : 'a definition file') +
             ' larger than ' + megabytes(limit) + ' is not read. The definition was kept.');
      return null;
    }
    const head = await read(file, 64);
    const isModel = head === null ? null : core('isModel', '', head);
    if (isModel === null) return null;
    if (isModel !== model) {
      notify(model ? file.name + ' is not a model (MDL file): nothing was done with it. The definition was kept.'
                   : file.name + ' is a model (MDL file), not a definition file: give it as the model (Model file). ' +
                     'The definition was kept.');
      return null;
    }
    return read(file);
  }

  async function takeDefinitionFile(file) {
    const bytes = await takeFile(file, 'definition');
    if (bytes !== null && openDefinition(file.name, bytes)) notify('');
  }

  async function takeModelFile(file) {
    const bytes = await takeFile(file, 'model');
    if (bytes === null) return;
    openModel(file.name, bytes);
    notify('');
  }

  // Files dropped on the page: each taken as what its name and bytes say.
  async function takeFiles(files) {
    for (const file of files) {
      const head = await read(file, 64);
      if (head === null) continue;
      if (core('isModel', file.name, head)) await takeModelFile(file);
      else await takeDefinitionFile(file);
    }
  }

  // The sticky header's height, for the picture that stays in view under it.
  function followHeader() {
    const header = document.querySelector('.top');
    const place = () => document.documentElement.style.setProperty('--top', header.offsetHeight + 'px');
    new ResizeObserver(place).observe(header);
    place();
  }

  // The table's box, laid out on its own, takes the table's height (and
  // that of its scroll bar, where the table is wider than the box). The
  // table stands under the picture, in the picture's panel, which stays in
  // view: it follows each step while it is in the panel's part in view (a
  // slider's step with the picture whole in view neither fills nor lays it
  // out; see fillFigures).
  function followTable() {
    const box = byId('figures-box');
    const table = byId('figures');
    const fit = () => put(box.style, 'height', table.offsetHeight + box.offsetHeight - box.clientHeight + 'px');
    const watch = new ResizeObserver(fit);
    watch.observe(table);
    watch.observe(box);
    new IntersectionObserver((seen) => {
      state.figuresNear = seen[seen.length - 1].isIntersecting;
      if (state.view) fillFigures(state.view);
    }, {root: box.closest('section')}).observe(box);
  }

  function wire() {
    followHeader();
    followTable();
    const examples = byId('example');
    for (const [name] of BUNDLED_EXAMPLES) examples.append(element('option', {value: name, text: name}));
    byId('open-example').addEventListener('click', () => {
      const found = BUNDLED_EXAMPLES.find(([name]) => name === examples.value);
      if (openDefinition(found[0], hexBytes(found[1]))) notify('');
    });
    byId('definition-input').addEventListener('change', async (event) => {
      const file = event.target.files[0];
      if (file) await takeDefinitionFile(file);
      event.target.value = '';
    });
    byId('model-input').addEventListener('change', async (event) => {
      const file = event.target.files[0];
      if (file) await takeModelFile(file);
      event.target.value = '';
    });
    byId('save-definition').addEventListener('click', saveDefinition);
    byId('undo').addEventListener('click', undo);
    byId('redo').addEventListener('click', redo);
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z outside a text field, where the
    // field's own undo applies.
    document.addEventListener('keydown', (event) => {
      if (!(event.ctrlKey || event.metaKey) || event.altKey) return;
      const target = event.target;
      const typing = target.isContentEditable || target.tagName === 'TEXTAREA' ||
                     (target.tagName === 'INPUT' && !['range', 'radio', 'checkbox', 'button', 'file'].includes(target.type));
      if (typing) return;
      const key = event.key.toLowerCase();
      if (key === 'z' && !event.shiftKey) undo();
      else if (key === 'y' || (key === 'z' && event.shiftKey)) redo();
      else return;
      event.preventDefault();
    });
    // A control let go, or another one taken, ends the step in progress.
    for (const type of ['change', 'focusout', 'pointerdown', 'click']) {
      document.addEventListener(type, endGesture, true);
    }
    // Leaving or reloading the page with changes not saved asks first.
    window.addEventListener('beforeunload', (event) => {
      keep();
      if (changed()) {
        event.preventDefault();
        event.returnValue = '';
      }
    });
    byId('save-picture').addEventListener('click', () => {
      if (!state.view || !state.view.svg) return;
      const base = (state.name || 'lights.cfg').replace(/\.[^.]*$/, '');
      download(base + '.svg', state.view.svg, 'image/svg+xml');
    });
    byId('download-model').addEventListener('click', () => {
      if (state.downloadable) download(state.downloadable.name, state.downloadable.bytes, 'application/octet-stream');
    });
    byId('take-lights-out').addEventListener('click', takeLightsOut);
    // A file dropped anywhere on the page.
    let depth = 0;
    document.addEventListener('dragenter', (event) => { event.preventDefault(); depth++; document.body.classList.add('dragging'); });
    document.addEventListener('dragleave', () => { if (--depth <= 0) { depth = 0; document.body.classList.remove('dragging'); } });
    document.addEventListener('dragover', (event) => { event.preventDefault(); });
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      depth = 0;
      document.body.classList.remove('dragging');
      if (event.dataTransfer && event.dataTransfer.files.length) takeFiles(event.dataTransfer.files);
    });
  }

  // The module's code comes compressed (LUMORA_MODULE_GZIP, in base64); it
  // is unpacked once and kept for starting the module again should it break.
  let moduleCode = null;
  async function startCore() {
    if (!moduleCode) {
      // Written to the stream straight: through a Blob, the bytes would go
      // by way of the browser, several times slower.
      const unpacking = new DecompressionStream('gzip');
      const writer = unpacking.writable.getWriter();
      const [unpacked] = await Promise.all([new Response(unpacking.readable).arrayBuffer(),
                                            writer.write(base64ToBytes(LUMORA_MODULE_GZIP)), writer.close()]);
      moduleCode = new Uint8Array(unpacked);
    }
    return createLumora({wasmBinary: moduleCode}).ready;
  }

  performance.mark('lumora-script');
  startCore().then((core) => {
    performance.mark('lumora-module');
    state.core = core;
    words = core.vocabulary();
    state.units = core.lengthUnits();
    wire();
    wireTextBox();
    const first = core.evaluate('lights.cfg', state.bytes, null);
    buildForm(first);
    render(first);
    historyChanged();
    document.body.dataset.ready = String(performance.now());
    // The browser's storage is opened only after the page is drawn: its
    // first use waits on the browser.
    setTimeout(offerKept);
  });

  // For scripts and tests: what the page holds, read-only in spirit.
  window.lumoraPage = {
    get svg() { return state.view ? state.view.svg : ''; },
    get messages() { return state.view ? state.view.messages : []; },
    get bytes() { return state.bytes; },
    get modelRun() { return state.modelRun; },
    runModelNow: runModel,
  };
})();
