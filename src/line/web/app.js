// Shared by every page. Every value from the records goes into the page as text (textContent),
// never as markup: an EEPROM may hold anything.
'use strict';

const Tarvo = (() => {
  const pages = [['/', 'Line now', 'now'], ['/yield', 'Yield', 'yield'],
    ['/failures', 'Failures', 'failures'], ['/adjustments', 'Adjustments and dot weight', 'adjustments'],
    ['/printer', 'A printer', 'printer']];

  function el(tag, attrs, ...children) {
    const e = document.createElement(tag);
    for (const [k, v] of Object.entries(attrs || {})) {
      if (k === 'class') e.className = v; else if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
      else e.setAttribute(k, v);
    }
    for (const c of children) {
      if (c === null || c === undefined) continue;
      e.append(c instanceof Node ? c : document.createTextNode(String(c)));
    }
    return e;
  }

  function nav() {
    const here = document.body.dataset.page;
    const n = document.getElementById('nav');
    for (const [href, title, id] of pages) n.append(el('a', {href, class: id === here ? 'here' : ''}, title));
  }

  function problem(text) {
    const p = document.getElementById('problem');
    p.hidden = !text;
    p.textContent = text || '';
  }

  async function get(endpoint, params) {
    const url = endpoint + '?' + new URLSearchParams(params || {}).toString();
    const r = await fetch(url, {headers: {Accept: 'application/json'}});
    const body = await r.json().catch(() => ({error: r.statusText}));
    if (!r.ok) throw new Error(body.error || r.statusText);
    problem('');
    return body;
  }

  // A link to a printer's page; the texts go into the URL as parameters, escaped.
  function printerLink(serial, head, text) {
    const q = new URLSearchParams();
    if (serial) q.set('serial', serial);
    if (head) q.set('head', head);
    return el('a', {href: '/printer?' + q.toString(), class: 'printer'}, text || head || serial || '-');
  }

  // columns: [key, title, {num, printer, cls(value, row)}]
  function table(id, rows, columns, csv) {
    const wrap = el('div', {});
    if (csv) {
      const q = new URLSearchParams(csv.params || {});
      q.set('format', 'csv');
      q.set('table', csv.table);
      wrap.append(el('a', {class: 'csv', href: csv.endpoint + '?' + q.toString(), download: ''}, 'CSV'));
    }
    const t = el('table', {id});
    const head = el('tr', {});
    for (const [, title] of columns) head.append(el('th', {}, title));
    t.append(el('thead', {}, head));
    const body = el('tbody', {});
    for (const row of rows) {
      const tr = el('tr', {});
      for (const [key, , opt] of columns) {
        const o = opt || {};
        const v = typeof o.value === 'function' ? o.value(row) : row[key];
        const td = el('td', {class: (o.num ? 'num ' : '') + (o.cls ? o.cls(v, row) : '')});
        if (o.printer) td.append(printerLink(row.usb_serial, row.head_id, v));
        else if (o.node) td.append(o.node(v, row));
        else td.textContent = v === null || v === undefined ? '' : String(v);
        tr.append(td);
      }
      body.append(tr);
    }
    t.append(body);
    wrap.append(el('div', {class: 'table-wrap'}, t));
    return wrap;
  }

  const charts = {};
  function chart(id, config) {
    let box = document.getElementById(id + '-box');
    if (!box) return null;
    if (charts[id]) charts[id].destroy();
    box.replaceChildren();
    const canvas = el('canvas', {id, role: 'img', 'aria-label': id});
    box.append(canvas);
    config.options = Object.assign({animation: false, responsive: true, maintainAspectRatio: false},
      config.options || {});
    charts[id] = new Chart(canvas, config);
    return charts[id];
  }

  function today(offsetDays) {
    const d = new Date(Date.now() + (offsetDays || 0) * 86400000);
    const p = (n) => String(n).padStart(2, '0');
    return d.getFullYear() + '-' + p(d.getMonth() + 1) + '-' + p(d.getDate());
  }

  // Date range and station filters kept in the URL, so a view can be linked.
  function filters(onChange, extra) {
    const q = new URLSearchParams(location.search);
    const f = el('form', {class: 'filters'});
    const from = el('input', {type: 'date', name: 'from', value: q.get('from') || today(-6)});
    const to = el('input', {type: 'date', name: 'to', value: q.get('to') || ''});
    const station = el('select', {name: 'station'}, el('option', {value: ''}, 'both'),
      el('option', {value: '1'}, 'Station 1'), el('option', {value: '2'}, 'Station 2'));
    station.value = q.get('station') || '';
    f.append(el('label', {}, 'From', from), el('label', {}, 'To (before)', to),
      el('label', {}, 'Station', station));
    for (const x of extra || []) {
      x.value = q.get(x.name) || x.value;
      f.append(el('label', {}, x.dataset.title || x.name, x));
    }
    const values = () => {
      const v = {from: from.value};
      if (to.value) v.to = to.value;
      if (station.value) v.station = station.value;
      for (const x of extra || []) v[x.name] = x.value;
      return v;
    };
    f.addEventListener('change', () => {
      history.replaceState(null, '', '?' + new URLSearchParams(values()).toString());
      onChange(values());
    });
    f.addEventListener('submit', (e) => e.preventDefault());
    return {form: f, values};
  }

  // Runs `refresh` whenever records arrive (server-sent events), else every 10 s. A burst of
  // records makes one refresh while one runs, and one after it.
  function live(run, status) {
    let running = false;
    let again = false;
    const refresh = async () => {
      if (running) { again = true; return; }
      running = true;
      try {
        do { again = false; await run(); } while (again);
      } finally { running = false; }
    };
    let timer = null;
    const poll = () => { if (!timer) timer = setInterval(refresh, 10000); };
    if (!window.EventSource) { poll(); return; }
    const source = new EventSource('/api/events');
    source.addEventListener('hello', () => {
      if (timer) { clearInterval(timer); timer = null; }
      if (status) status.textContent = 'live';
    });
    source.addEventListener('records', () => refresh());
    source.onerror = () => { if (status) status.textContent = 'reconnecting'; poll(); };
  }

  function run(main) {
    nav();
    main().catch((e) => problem(e.message));
  }

  return {el, get, table, chart, printerLink, filters, live, problem, run, today};
})();
