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
    opened: null,        // the bytes as the file was opened: the picture draws them faintly once changed
    bytes: new Uint8Array(0),
    view: null,          // the last evaluation
    model: null,         // {name, bytes}
    modelRun: null,      // the last run on the model: {done, alreadyLit, output, model}
    downloadable: null,  // {name, bytes} offered by "Download model"
    fields: new Map(),   // "section:key" of the form's own key -> the field's elements
    modelTimer: 0,
    evaluations: 0,
    modelRuns: 0,
  };

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

  function buildField(field, index) {
    const id = fieldId(field.section, index);
    const row = element('div', {className: 'field'});
    const label = element('label', {for: id}, field.label + ' ');
    const keyName = element('code', {text: field.key});
    label.append(keyName);
    const input = element('input', {type: 'text', id, inputmode: 'decimal', spellcheck: 'false',
                                    'aria-describedby': id + '-help ' + id + '-messages'});
    const slider = element('input', {type: 'range', 'aria-label': field.label + ' slider', tabindex: '0'});
    let unit = null;
    if (field.takesUnit) {
      unit = element('select', {'aria-label': field.label + ' unit'});
      for (const [value, unitWords] of words.units) unit.append(element('option', {value, text: unitWords}));
    }
    const help = element('span', {className: 'help', id: id + '-help', text: field.help});
    const messages = element('ul', {className: 'field-messages', id: id + '-messages'});
    row.append(label, input, unit || element('span', {className: 'unit-missing', text: field.key === 'Lights' ? 'count' : 'degrees'}),
               slider, help, messages);
    const entry = {section: field.section, index, key: field.key, row, input, slider, unit, keyName, messages, field,
                   beforeClear: null};
    input.addEventListener('input', () => typeInto(entry));
    // Retyping a value passes through an empty field, which takes the key's
    // line out; a value typed before the field is left goes back on that line.
    input.addEventListener('blur', () => { entry.beforeClear = null; });
    slider.addEventListener('input', () => {
      input.value = slider.value;
      editField(entry, slider.value, unit ? unit.value : '');
    });
    if (unit) {
      unit.addEventListener('change', () => {
        const number = state.core.convertNumber(input.value, entry.field.unit, unit.value);
        input.value = number;
        editField(entry, number, unit.value);
      });
    }
    state.fields.set(field.section + ':' + index, entry);
    return row;
  }

  function fillForm(view) {
    const counts = new Map();
    for (const field of view.fields) {
      const index = counts.get(field.section) || 0;
      counts.set(field.section, index + 1);
      const entry = state.fields.get(field.section + ':' + index);
      entry.field = field;
      entry.key = field.key;
      entry.keyName.textContent = field.key;
      if (document.activeElement !== entry.input) entry.input.value = field.number;
      entry.input.placeholder = field.placeholder;
      // A number being typed (or cleared and retyped) keeps the unit it had.
      const retyping = document.activeElement === entry.input || (!field.present && entry.beforeClear !== null);
      if (entry.unit && document.activeElement !== entry.unit && !retyping) entry.unit.value = field.unit.toLowerCase();
      entry.slider.min = field.sliderMin;
      entry.slider.max = field.sliderMax;
      entry.slider.step = field.sliderStep;
      if (document.activeElement !== entry.slider) entry.slider.value = field.sliderValue;
      entry.messages.replaceChildren();
      entry.row.classList.remove('has-error', 'has-warning');
    }
    byId('gear-tail').checked = view.otherGearTail;
    byId('gear-nose').checked = !view.otherGearTail;
    // The light sections in use, and any the file has beyond them.
    const count = view.lightCount >= 1 && view.lightCount <= 3 ? view.lightCount : 1;
    for (let section = 1; section < words.sectionTitles.length; ++section) {
      byId('section-' + section).hidden = section > count && !view.sectionsDefined[section];
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
    const line = document.querySelector('#text-lines li[data-line="' + message.line + '"]');
    if (line) {
      line.scrollIntoView({block: 'nearest'});
      line.classList.add('flash');
      setTimeout(() => line.classList.remove('flash'), 1500);
    }
    if (entry && !entry.row.closest('fieldset').hidden) entry.input.focus();
  }

  function fillMessages(view) {
    const list = byId('message-list');
    list.replaceChildren();
    for (let section = 0; section < words.sectionTitles.length; ++section) byId('section-messages-' + section).replaceChildren();
    const lineSeverity = new Map();
    for (const message of state.name !== null ? view.messages : []) {
      list.append(messageItem(message, true));
      // At every field whose value fixes it.
      const entries = message.keys.map((key) => entryOf(message, key)).filter((entry) => entry);
      for (const entry of entries) {
        entry.messages.append(messageItem(message, false));
        if (message.severity === 'error') entry.row.classList.add('has-error');
        if (message.severity === 'warning') entry.row.classList.add('has-warning');
      }
      if (!entries.length && message.section >= 0 && message.severity !== 'progress') {
        byId('section-messages-' + message.section).append(messageItem(message, false));
      }
      if (message.line > 0 && message.severity !== 'progress' && !lineSeverity.has(message.line)) {
        lineSeverity.set(message.line, message.severity);
      }
    }
    const lines = byId('text-lines');
    lines.replaceChildren();
    for (const line of view.lines) {
      const item = element('li', {'data-line': line.number},
                           element('span', {className: 'number', text: String(line.number)}),
                           element('span', {className: 'code', text: line.text}));
      if (lineSeverity.has(line.number)) item.className = lineSeverity.get(line.number);
      lines.append(item);
    }
  }

  // ---- Mending the file: the text box and the fix buttons. The core works
  // out every change's bytes; each is one step through commitDefinition.

  function fixButton(message) {
    const button = element('button', {type: 'button', className: 'fix', text: message.fix});
    button.addEventListener('click', () => {
      commitDefinition(state.core.applyFix(state.bytes, message.fixLine, message.fixText, message.fixRemoves), message.fix);
    });
    return button;
  }

  function fillTextBox() {
    const box = byId('definition-text');
    if (document.activeElement !== box) box.value = state.core.definitionText(state.bytes);
  }

  function wireTextBox() {
    byId('definition-text').addEventListener('input', (event) => {
      commitDefinition(state.core.replaceText(state.bytes, event.target.value), 'Edit text');
    });
  }

  function fillFigures(view) {
    const body = byId('figures').tBodies[0];
    body.replaceChildren();
    for (const figures of view.figures) {
      const row = element('tr', {}, element('th', {scope: 'row', text: 'Light ' + figures.light}));
      if (figures.lit) {
        for (const cell of figures.cells) row.append(element('td', {text: cell}));
      } else {
        row.append(element('td', {className: 'words', colspan: '6', text: figures.text}));
      }
      body.append(row);
    }
  }

  function fillVerdict(view) {
    let stateName = 'no-file';
    let words = 'No file yet: open a definition file, drop one on this page, or start from an example.';
    if (state.name !== null) {
      stateName = view.wouldWrite ? 'would-write' : view.errors > 0 ? 'errors' : 'would-not-write';
      words = view.verdict;
    }
    document.body.dataset.state = stateName;
    byId('verdict').textContent = words;
  }

  // ---- Evaluating and editing: the code's work, drawn.

  function evaluate() {
    render(state.core.evaluate(state.name || 'lights.cfg', state.bytes, state.opened));
  }

  function render(view) {
    state.view = view;
    byId('picture').innerHTML = state.name !== null ? view.svg : '';
    fillVerdict(view);
    fillForm(view);
    fillMessages(view);
    fillFigures(view);
    fillTextBox();
    byId('file-name').textContent = state.name !== null ? state.name : 'No file yet';
    byId('encoding').textContent = state.name !== null ? '(' + view.encoding + ')' : '';
    document.body.dataset.evaluations = String(++state.evaluations);
    scheduleModelRun();
  }

  function setBytes(bytes) {
    if (bytes === null) return;  // the file cannot be decoded: nothing to edit
    state.bytes = bytes;
    if (state.name === null) state.name = 'lights.cfg';
    evaluate();
  }

  // Every change of the definition's bytes goes through here: a field, a fix,
  // the text box.
  function commitDefinition(bytes, label) {
    void label;
    setBytes(bytes);
  }

  function typeInto(entry) {
    const unit = entry.unit ? entry.unit.value : '';
    const empty = entry.input.value.trim() === '';
    if (empty && entry.beforeClear === null && entry.field.present) entry.beforeClear = state.bytes;
    if (!empty && entry.beforeClear !== null) {
      const restored = entry.beforeClear;
      entry.beforeClear = null;
      setBytes(state.core.editField(restored, entry.section, entry.key, entry.input.value, unit));
      return;
    }
    editField(entry, entry.input.value, unit);
  }

  function editField(entry, number, unit) {
    setBytes(state.core.editField(state.bytes, entry.section, entry.key, number, unit));
  }

  function renameGear(tail) {
    if (state.name === null) return;
    setBytes(state.core.renameOtherGear(state.bytes, tail));
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
  }

  function openDefinition(name, bytes) {
    state.opened = bytes;
    state.named = true;
    state.name = name;
    state.bytes = bytes;
    evaluate();
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
    const run = state.core.applyToModel(state.model.name, state.model.bytes, state.name, state.bytes);
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
    const run = state.core.takeLightsOut(state.model.name, state.model.bytes);
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

  async function takeFiles(files) {
    for (const file of files) {
      const bytes = new Uint8Array(await file.arrayBuffer());
      if (state.core.isModel(file.name, bytes)) openModel(file.name, bytes);
      else openDefinition(file.name, bytes);
    }
  }

  function wire() {
    const examples = byId('example');
    for (const [name] of BUNDLED_EXAMPLES) examples.append(element('option', {value: name, text: name}));
    byId('open-example').addEventListener('click', () => {
      const found = BUNDLED_EXAMPLES.find(([name]) => name === examples.value);
      openDefinition(found[0], hexBytes(found[1]));
    });
    byId('definition-input').addEventListener('change', (event) => {
      takeDefinitionFiles(event.target.files);
      event.target.value = '';
    });
    byId('model-input').addEventListener('change', async (event) => {
      const file = event.target.files[0];
      if (file) openModel(file.name, new Uint8Array(await file.arrayBuffer()));
      event.target.value = '';
    });
    byId('save-definition').addEventListener('click', saveDefinition);
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

  async function takeDefinitionFiles(files) {
    const file = files[0];
    if (file) openDefinition(file.name, new Uint8Array(await file.arrayBuffer()));
  }

  performance.mark('lumora-script');
  createLumora().ready.then((core) => {
    performance.mark('lumora-module');
    state.core = core;
    words = core.vocabulary();
    wire();
    wireTextBox();
    const first = core.evaluate('lights.cfg', state.bytes, null);
    buildForm(first);
    render(first);
    document.body.dataset.ready = String(performance.now());
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
