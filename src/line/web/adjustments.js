'use strict';
Tarvo.run(async () => {
  const {el} = Tarvo;
  const content = document.getElementById('content');
  const fields = ['tof', 'ms1', 'ms2', 'vsd', 'ecn'];
  const names = {tof: 'TOF', ms1: 'MS1', ms2: 'MS2', vsd: 'VSD', ecn: 'ECN'};
  const field = el('select', {name: 'field', 'data-title': 'Value'},
    ...fields.map((x) => el('option', {value: x}, names[x])));
  field.value = 'tof';
  const f = Tarvo.filters((v) => show(v).catch((e) => Tarvo.problem(e.message)), [field]);
  const boxes = el('div', {});
  content.append(f.form, boxes);

  async function show(params) {
    const api = Object.assign({}, params);
    delete api.field;
    const [adj, dw] = await Promise.all([Tarvo.get('/api/adjustments', api),
      Tarvo.get('/api/dotweights', api)]);
    const x = params.field || 'tof';
    boxes.replaceChildren(
      el('h2', {}, 'Distribution of ', names[x], ' as stored'),
      el('div', {class: 'chart', id: 'histogram-chart-box'}),
      el('h2', {}, names[x], ' per day: mean and 3σ limits'),
      el('div', {class: 'chart', id: 'control-chart-box'}),
      el('div', {id: 'control-table-box'}),
      el('h2', {}, 'Dot weights'),
      el('div', {class: 'chart', id: 'dotweight-chart-box'}),
      el('div', {id: 'dotweight-summary-box'}), el('div', {id: 'dotweight-table-box'}),
      el('h2', {}, 'Adjustment values of each printer'), el('div', {id: 'values-box'}));
    const hist = adj.histogram.filter((h) => h.field === x);
    Tarvo.chart('histogram-chart', {type: 'bar', data: {labels: hist.map((h) => h.value),
      datasets: [{label: 'printers', data: hist.map((h) => h.count), backgroundColor: '#4a78c2'}]}});
    const ctl = adj.control.filter((c) => c.field === x);
    Tarvo.chart('control-chart', {type: 'line', data: {labels: ctl.map((c) => c.day), datasets: [
      {label: 'mean', data: ctl.map((c) => c.mean), borderColor: '#233044',
        pointBackgroundColor: ctl.map((c) => (c.outside ? '#d00' : '#233044')),
        pointRadius: ctl.map((c) => (c.outside ? 6 : 3))},
      {label: 'UCL', data: ctl.map((c) => c.ucl), borderColor: '#d64545', borderDash: [6, 4], pointRadius: 0},
      {label: 'centre', data: ctl.map((c) => c.center), borderColor: '#888', pointRadius: 0},
      {label: 'LCL', data: ctl.map((c) => c.lcl), borderColor: '#d64545', borderDash: [6, 4], pointRadius: 0}]}});
    document.getElementById('control-table-box').append(Tarvo.table('control-table', ctl, [
      ['day', 'Day'], ['n', 'Printers', {num: true}], ['mean', 'Mean', {num: true}],
      ['center', 'Centre', {num: true}], ['lcl', 'LCL', {num: true}], ['ucl', 'UCL', {num: true}],
      ['outside', 'Outside', {cls: (v) => (v ? 'outside' : '')}]],
    {endpoint: '/api/adjustments', table: 'control', params: api}));
    const m = dw.measurements;
    Tarvo.chart('dotweight-chart', {type: 'line', data: {labels: m.map((r) => r.time), datasets: [
      {label: 'average', data: m.map((r) => r.average), showLine: false, borderColor: '#233044',
        pointBackgroundColor: m.map((r) => (r.outside ? '#d00' : '#233044'))},
      {label: 'low', data: m.map((r) => r.low), borderColor: '#d64545', borderDash: [6, 4], pointRadius: 0},
      {label: 'high', data: m.map((r) => r.high), borderColor: '#d64545', borderDash: [6, 4], pointRadius: 0}]}});
    document.getElementById('dotweight-summary-box').append(Tarvo.table('dotweight-summary', dw.summary, [
      ['kind', 'Kind'], ['measurements', 'Measurements', {num: true}], ['outside', 'Outside', {num: true}],
      ['share_outside', 'Share outside', {num: true}]], {endpoint: '/api/dotweights', table: 'summary', params: api}));
    document.getElementById('dotweight-table-box').append(Tarvo.table('dotweight-table', m, [
      ['time', 'Time'], ['kind', 'Kind'], ['head_id', 'Printer', {printer: true, value: (r) => r.head_id || r.usb_serial}],
      ['average', 'Average', {num: true}], ['low', 'Low', {num: true}], ['high', 'High', {num: true}],
      ['outside', 'Outside', {cls: (v) => (v ? 'outside' : '')}]],
    {endpoint: '/api/dotweights', table: 'measurements', params: api}));
    document.getElementById('values-box').append(Tarvo.table('values-table', adj.values, [
      ['day', 'Day'], ['head_id', 'Printer', {printer: true, value: (r) => r.head_id || r.usb_serial}],
      ...fields.map((k) => [k, names[k], {num: true}])],
    {endpoint: '/api/adjustments', table: 'values', params: api}));
  }
  await show(f.values());
});
