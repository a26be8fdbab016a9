// The playground page: a drawing on the stage, the plug-in (morvelin.js and
// its .wasm: PluginMain inside the stand-in host) run on it after every
// change, and the plug-in's own Edit-Parameters dialog drawn from its dialog
// template and worked through its own dialog procedures.
'use strict';

const SVG_NS = 'http://www.w3.org/2000/svg';
const stage = document.getElementById('stage');
const sourcesLayer = document.getElementById('sources');
const resultLayer = document.getElementById('result');
const handlesLayer = document.getElementById('handles');
const statusLine = document.getElementById('status');

const page = {
  module: null,
  drawing: null,       // the drawing as an XML document; the effect reads its text
  name: 'built-in sample',
  viscosity: 50,       // the "rate" the effect application holds
  resultSvg: '',       // what the last run wrote, as `morvelin apply` writes it
  goLiveMs: 0,
  selected: -1,        // index of the selected circle among the drawing's circles
  dialogOpen: false,
  running: false,
  pending: false,
};

function setStatus(text, isError) {
  statusLine.textContent = text;
  statusLine.classList.toggle('error', Boolean(isError));
}

function call(name, types, args) {
  return JSON.parse(page.module.ccall(name, 'string', types, args));
}

function drawingText() {
  return new XMLSerializer().serializeToString(page.drawing);
}

function circles() {
  return Array.from(page.drawing.getElementsByTagNameNS(SVG_NS, 'circle'));
}

// ---- the stage ----------------------------------------------------------

// The stage shows inert copies of the drawing (inert_svg.js): the faint
// drawing in `sources`, the tool's output over it in `result`. Each layer's
// ids get a prefix of its own, so that neither reaches the page's elements
// nor the other layer; only the result keeps the outline's class, so that
// the stage's only `.morvelin-outline` is the one the plug-in made.
const SOURCE_PREFIX = 'drawing-s-';
const RESULT_PREFIX = 'drawing-r-';

// A drawing's width or height in user units (CSS pixels): "100mm" is 378.
const UNIT_PIXELS = { '': 1, px: 1, in: 96, cm: 96 / 2.54, mm: 96 / 25.4, pt: 96 / 72, pc: 16 };
function userUnits(length, fallback) {
  const parts = /^\s*([+]?[0-9]*\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\s*([a-z]*)\s*$/.exec(length || '');
  const value = parts && Object.hasOwn(UNIT_PIXELS, parts[2]) ? Number(parts[1]) * UNIT_PIXELS[parts[2]] : NaN;
  return value > 0 && Number.isFinite(value) ? value : fallback;
}

function frameStage(root) {
  let viewBox = root.getAttribute('viewBox');
  if (!viewBox) {
    const width = userUnits(root.getAttribute('width'), 640);
    const height = userUnits(root.getAttribute('height'), 400);
    viewBox = `0 0 ${width} ${height}`;
  }
  stage.setAttribute('viewBox', viewBox);
}

function showSources() {
  const root = page.drawing.documentElement;
  frameStage(root);
  // A shown circle knows which of the drawing's circles it is, even when
  // something before it in the drawing is not shown.
  const index = new Map(circles().map((circle, i) => [circle, i]));
  inertSvg.fill(sourcesLayer, root, {
    prefix: SOURCE_PREFIX,
    onCopy: (source, copy) => {
      if (!index.has(source)) return;
      copy.dataset.index = index.get(source);
      if (index.get(source) === page.selected) copy.classList.add('selected');
    },
  });
  showHandle();
}

function showResult(svgText) {
  page.resultSvg = svgText;
  const result = new DOMParser().parseFromString(svgText, 'image/svg+xml');
  inertSvg.fill(resultLayer, result.documentElement, { prefix: RESULT_PREFIX, keepClass: 'morvelin-outline' });
}

// The square handle at the right of the selected circle: dragging it sets the radius.
function showHandle() {
  handlesLayer.replaceChildren();
  const shown = shownCircle(page.selected);
  if (!shown || page.dialogOpen) return;
  const matrix = stageMatrixOf(shown);
  const cx = parseFloat(shown.getAttribute('cx')) || 0;
  const cy = parseFloat(shown.getAttribute('cy')) || 0;
  const r = parseFloat(shown.getAttribute('r')) || 0;
  const point = new DOMPoint(cx + r, cy).matrixTransform(matrix);
  const handle = document.createElementNS(SVG_NS, 'rect');
  const size = stageUnitsPerPixel() * 9;
  handle.setAttribute('x', point.x - size / 2);
  handle.setAttribute('y', point.y - size / 2);
  handle.setAttribute('width', size);
  handle.setAttribute('height', size);
  handle.setAttribute('id', 'radius-handle');
  handlesLayer.appendChild(handle);
}

// The stage's copy of the drawing's circle number `index`, or null.
function shownCircle(index) {
  if (!(index >= 0)) return null;
  return sourcesLayer.querySelector(`circle[data-index="${Number(index)}"]`);
}

function stageUnitsPerPixel() {
  const box = stage.viewBox.baseVal;
  return box && box.width ? box.width / stage.clientWidth : 1;
}

// From an element's own coordinates to the stage's user space.
function stageMatrixOf(element) {
  return stage.getScreenCTM().inverse().multiply(element.getScreenCTM());
}

// A pointer position in an element's own coordinates.
function localPoint(element, event) {
  return new DOMPoint(event.clientX, event.clientY).matrixTransform(element.getScreenCTM().inverse());
}

// ---- running the effect -------------------------------------------------

// Runs the plug-in on the drawing as it is now; changes made while it runs
// are picked up by one more run at the next frame.
function runEffect() {
  if (page.running) {
    page.pending = true;
    return;
  }
  page.running = true;
  document.body.dataset.state = 'busy';
  requestAnimationFrame(() => {
    const reply = call('morvelin_apply', ['string', 'string', 'number'], [drawingText(), page.name, page.viscosity]);
    page.running = false;
    if (reply.ok) {
      showResult(reply.svg);
      page.goLiveMs = reply.goLiveMs;
      setStatus(`${page.name}: ${reply.united} objects united; go-live ${reply.goLiveMs.toFixed(1)} ms in WebAssembly.`);
    } else {
      setStatus(reply.error, true);
    }
    document.body.dataset.runs = String(Number(document.body.dataset.runs) + 1);
    if (page.pending) {
      page.pending = false;
      runEffect();
    } else {
      document.body.dataset.state = 'ready';
    }
  });
}

function changed() {
  showSources();
  runEffect();
}

// Loads SVG text through the plug-in's importer first, so that a drawing it
// refuses is reported and the stage keeps what it had.
function loadDrawing(text, name) {
  const reply = call('morvelin_apply', ['string', 'string', 'number'], [text, name, page.viscosity]);
  if (!reply.ok) {
    setStatus(reply.error, true);
    return false;
  }
  const parsed = new DOMParser().parseFromString(text, 'image/svg+xml');
  if (parsed.getElementsByTagName('parsererror').length > 0) {
    setStatus(`${name}: the browser cannot show this drawing`, true);
    return false;
  }
  page.drawing = parsed;
  page.name = name;
  page.selected = -1;
  changed();
  return true;
}

// ---- editing the drawing ------------------------------------------------

let drag = null;

stage.addEventListener('pointerdown', (event) => {
  if (page.dialogOpen) return;
  const target = event.target;
  if (target.id === 'radius-handle') {
    drag = { kind: 'radius', index: page.selected };
  } else if (target.tagName === 'circle' && target.dataset.index !== undefined) {
    const index = Number(target.dataset.index);
    page.selected = index;
    const start = localPoint(target, event);
    const circle = circles()[index];
    drag = { kind: 'move', index, start, cx: parseFloat(circle.getAttribute('cx')) || 0,
             cy: parseFloat(circle.getAttribute('cy')) || 0 };
    showSources();
  } else {
    page.selected = -1;
    showSources();
    return;
  }
  stage.setPointerCapture(event.pointerId);
  event.preventDefault();
});

stage.addEventListener('pointermove', (event) => {
  if (!drag) return;
  const shown = shownCircle(drag.index);
  const circle = circles()[drag.index];
  if (!shown || !circle) return;
  const point = localPoint(shown, event);
  if (drag.kind === 'move') {
    circle.setAttribute('cx', round(drag.cx + point.x - drag.start.x));
    circle.setAttribute('cy', round(drag.cy + point.y - drag.start.y));
  } else {
    const cx = parseFloat(circle.getAttribute('cx')) || 0;
    const cy = parseFloat(circle.getAttribute('cy')) || 0;
    circle.setAttribute('r', round(Math.max(1, Math.hypot(point.x - cx, point.y - cy))));
  }
  changed();
});

function endDrag() { drag = null; }
stage.addEventListener('pointerup', endDrag);
stage.addEventListener('pointercancel', endDrag);

stage.addEventListener('dblclick', (event) => {
  if (page.dialogOpen || event.target.tagName === 'circle') return;
  const root = page.drawing.documentElement;
  const point = new DOMPoint(event.clientX, event.clientY).matrixTransform(stage.getScreenCTM().inverse());
  const circle = page.drawing.createElementNS(SVG_NS, 'circle');
  circle.setAttribute('cx', round(point.x));
  circle.setAttribute('cy', round(point.y));
  circle.setAttribute('r', '30');
  circle.setAttribute('fill', '#2a6f97');
  root.appendChild(page.drawing.createTextNode('  '));
  root.appendChild(circle);
  root.appendChild(page.drawing.createTextNode('\n'));
  page.selected = circles().indexOf(circle);
  changed();
});

stage.addEventListener('wheel', (event) => {
  if (page.dialogOpen) return;
  const target = event.target.tagName === 'circle' && event.target.dataset.index !== undefined
    ? Number(event.target.dataset.index) : page.selected;
  const circle = circles()[target];
  if (!circle) return;
  event.preventDefault();
  page.selected = target;
  const r = parseFloat(circle.getAttribute('r')) || 1;
  circle.setAttribute('r', round(Math.max(1, event.deltaY < 0 ? r * 1.1 : r / 1.1)));
  changed();
}, { passive: false });

document.addEventListener('keydown', (event) => {
  if (page.dialogOpen) {
    if (event.key === 'Escape') queueDialogAction('cancel');
    if (event.key === 'Enter') queueDialogAction('ok');
    return;
  }
  if ((event.key === 'Delete' || event.key === 'Backspace') && page.selected >= 0) {
    const circle = circles()[page.selected];
    if (circle) circle.remove();
    page.selected = -1;
    changed();
  }
});

function round(value) {
  return String(Math.round(value * 100) / 100);
}

// ---- open and download --------------------------------------------------

document.getElementById('open-button').addEventListener('click', () => {
  if (!page.dialogOpen) document.getElementById('open-file').click();
});
document.getElementById('open-file').addEventListener('change', async (event) => {
  const file = event.target.files[0];
  if (file) loadDrawing(await file.text(), file.name);
  event.target.value = '';
});

document.getElementById('download-button').addEventListener('click', () => {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([page.resultSvg], { type: 'image/svg+xml' }));
  link.download = 'morvelin-out.svg';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
});

// ---- the Edit-Parameters dialog -----------------------------------------

// Dialog units to pixels for the template's 8-point MS Sans Serif (base
// units 6 x 13 pixels: a dialog unit is 1.5 pixels across and 1.625 down),
// drawn half as large again.
const DLU_X = 1.5 * 1.5;
const DLU_Y = 1.625 * 1.5;
const BS_TYPE = 0xF, BS_DEFPUSHBUTTON = 1, BS_CHECKBOX = 2, BS_AUTOCHECKBOX = 3, SS_TYPE = 0x3, SS_RIGHT = 2;

const dialogActions = [];
let dialogWaiter = null;

function queueDialogAction(text) {
  if (!page.dialogOpen) return;
  if (dialogWaiter) {
    const resolve = dialogWaiter;
    dialogWaiter = null;
    resolve(text);
  } else {
    dialogActions.push(text);
  }
}

// Asked by the plug-in's modal loop (through the stand-in's toolkit) for
// the person's next action.
function nextDialogAction() {
  if (dialogActions.length > 0) return Promise.resolve(dialogActions.shift());
  return new Promise((resolve) => { dialogWaiter = resolve; });
}

// Builds the dialog's controls from the template: position, size, caption
// and kind of each item, the kind from its window class and style.
function buildDialog(template) {
  document.getElementById('dialog-title').textContent = template.caption;
  const client = document.getElementById('dialog-client');
  client.replaceChildren();
  client.style.width = `${template.rect[2] * DLU_X}px`;
  client.style.height = `${template.rect[3] * DLU_Y}px`;
  for (const item of template.items) {
    let control;
    if (item.className === 'Button') {
      const type = item.style & BS_TYPE;
      if (type === BS_CHECKBOX || type === BS_AUTOCHECKBOX) {
        control = document.createElement('label');
        const box = document.createElement('input');
        box.type = 'checkbox';
        box.addEventListener('click', () => queueDialogAction('click preview'));
        control.append(box, document.createTextNode(item.text));
      } else {
        control = document.createElement('button');
        control.type = 'button';
        control.textContent = item.text;
        if (type === BS_DEFPUSHBUTTON) control.classList.add('default');
        const word = item.id === 1 ? 'ok' : item.id === 2 ? 'cancel' : null;
        if (word) control.addEventListener('click', () => queueDialogAction(word));
      }
    } else if (item.className === 'Static') {
      control = document.createElement('span');
      control.className = 'static';
      if ((item.style & SS_TYPE) === SS_RIGHT) control.classList.add('right');
      control.textContent = item.text;
    } else if (item.className === 'ADM Slider Type') {
      control = document.createElement('input');
      control.type = 'range';
      control.addEventListener('input', () => queueDialogAction(`slide ${control.value}`));
      control.addEventListener('change', () => queueDialogAction(`drag ${control.value}`));
    } else {
      control = document.createElement('span');
    }
    control.id = `dialog-item-${item.id}`;
    control.dataset.itemId = item.id;
    control.style.left = `${item.rect[0] * DLU_X}px`;
    control.style.top = `${item.rect[1] * DLU_Y}px`;
    control.style.width = `${item.rect[2] * DLU_X}px`;
    control.style.height = `${item.rect[3] * DLU_Y}px`;
    client.appendChild(control);
  }
}

// One step of the modal loop: the dialog's items and the preview on the stage.
function showDialogStep(json) {
  const step = JSON.parse(json);
  for (const item of step.items) {
    const control = document.getElementById(`dialog-item-${item.id}`);
    if (!control) continue;
    if (control.tagName === 'INPUT' && control.type === 'range') {
      control.min = item.min;
      control.max = item.max;
      control.value = item.value;
    } else if (control.tagName === 'LABEL') {
      control.querySelector('input').checked = item.checked;
    } else if (control.classList.contains('static')) {
      control.textContent = item.text;
    }
  }
  document.getElementById('dialog').dataset.step = step.step;
  document.getElementById('dialog').dataset.rate = step.rate;
  document.getElementById('dialog').dataset.executed = step.executed;
  showResult(step.svg);
  document.body.dataset.runs = String(Number(document.body.dataset.runs) + 1);
}

async function openEditDialog() {
  if (page.dialogOpen || page.running) return;
  const template = call('morvelin_dialog_template', [], []);
  if (!template.ok) {
    setStatus(template.error, true);
    return;
  }
  buildDialog(template);
  page.dialogOpen = true;
  dialogActions.length = 0;
  stage.classList.add('frozen');
  showHandle();
  document.getElementById('dialog-layer').hidden = false;
  document.body.dataset.state = 'dialog';
  const reply = JSON.parse(await page.module.ccall('morvelin_edit', 'string',
    ['string', 'string', 'number', 'number'], [drawingText(), page.name, 1, page.viscosity], { async: true }));
  page.dialogOpen = false;
  dialogWaiter = null;
  document.getElementById('dialog-layer').hidden = true;
  stage.classList.remove('frozen');
  if (!reply.ok) {
    setStatus(reply.error, true);
  } else {
    // OK wrote the slider's value; Cancel leaves what the preview wrote.
    if (reply.rate !== 'none') page.viscosity = Number(reply.rate);
    document.getElementById('viscosity').textContent = `viscosity ${reply.rate}`;
    showResult(reply.svg);
    setStatus(`Edit-Parameters: ${reply.resultText}; rate ${reply.rate}, executed ${reply.executed} times.`);
  }
  document.body.dataset.lastEdit = reply.ok ? reply.resultText : 'failed';
  document.body.dataset.runs = String(Number(document.body.dataset.runs) + 1);
  document.body.dataset.state = 'ready';
  showHandle();
}

document.getElementById('edit-button').addEventListener('click', openEditDialog);
document.getElementById('dialog-close').addEventListener('click', () => queueDialogAction('close'));

// ---- About and timing ---------------------------------------------------

document.getElementById('about-button').addEventListener('click', () => {
  if (page.dialogOpen) return;
  const reply = call('morvelin_about', [], []);
  if (!reply.ok) {
    setStatus(reply.error, true);
    return;
  }
  document.getElementById('about-title').textContent = reply.title;
  document.getElementById('about-text').textContent = reply.text;
  document.getElementById('about-layer').hidden = false;
});
document.getElementById('about-ok').addEventListener('click', () => {
  document.getElementById('about-layer').hidden = true;
});

// Runs the effect `runs` times on the drawing as it is; the median go-live
// (the plug-in's message alone) and the median round trip from the page.
function timeGoLive(runs = 21) {
  const goLive = [];
  const roundTrip = [];
  const text = drawingText();
  for (let i = 0; i < runs; ++i) {
    const start = performance.now();
    const reply = call('morvelin_apply', ['string', 'string', 'number'], [text, page.name, page.viscosity]);
    roundTrip.push(performance.now() - start);
    if (reply.ok) goLive.push(reply.goLiveMs);
  }
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  return { runs, goLiveMs: median(goLive), roundTripMs: median(roundTrip) };
}

document.getElementById('time-button').addEventListener('click', () => {
  if (page.dialogOpen) return;
  const timing = timeGoLive();
  setStatus(`${timing.runs} runs: go-live ${timing.goLiveMs.toFixed(2)} ms (median), ` +
            `${timing.roundTripMs.toFixed(2)} ms with reading and writing the SVG.`);
});

// ---- start --------------------------------------------------------------

MorvelinModule({
  morvelinNextDialogAction: nextDialogAction,
  morvelinDialogStep: showDialogStep,
}).then((module) => {
  page.module = module;
  window.morvelinPlayground = { page, timeGoLive, loadDrawing };
  // The built-in sample comes from the tool's own sample: the same drawing
  // `morvelin apply` reads without a file.
  const sample = call('morvelin_sample', [], []);
  loadDrawing(sample.svg, 'built-in sample');
}).catch((error) => {
  setStatus(`The plug-in could not be loaded: ${error}`, true);
  document.body.dataset.state = 'failed';
});
