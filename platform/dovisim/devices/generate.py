#!/usr/bin/env python3
"""Writes the simulated devices' descriptions, translations and device files into this folder.

The files are kept in the repository; run this only to change the devices (python3, no other modules).
Register layout, little-endian, 4 bytes each unless said:
  0x1000 EventCategory, 0x1004 EventIOType, 0x1008 ChannelSelector, 0x100C EventSelector,
  0x1010 tick frequency (8 bytes, read-only), 0x10000 + 4 * slot EventNotification,
  slot = ((EC * 4 + IO) * 4 + CH) * 256 + ES, where IO counts only in IO categories.

camera_a and camera_b also get a GigE Vision variant in tests/data/gige/ for arv-fake-gv-camera-0.8, whose
register memory is a flat 64 KiB with the description served at 0x10000 and 0x1000-0xAFFF free for us:
same features, big-endian registers, the notification table at 0x2000 with the event stride cut to what
the device needs, and the tick frequency as a constant because the fake camera cannot preset memory.

standard_d describes its events the standard way instead (see standard_d()): 0x100C EventSelector holding the
entry value, which is the event id, and 0x10000 + 4 * (id - 0x9000) EventNotification. Its GigE Vision variant,
tests/data/gige/standard_gev.xml, is laid out the way another maker would do it (see standard_gev()).
"""
import os
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
NS = ('xmlns="http://www.genicam.org/GenApi/Version_1_1" '
      'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" '
      'xsi:schemaLocation="http://www.genicam.org/GenApi/Version_1_1 '
      'http://www.genicam.org/GenApi/GenApiSchema_Version_1_1.xsd"')
REGS = {'EventCategory': 0x1000, 'EventIOType': 0x1004, 'ChannelSelector': 0x1008, 'EventSelector': 0x100C}
NOTIF_BASE = 0x10000
NOTIF_SIZE = 0x10000
TICK_ADDR = 0x1010
GEV_DIR = os.path.join(HERE, '..', '..', '..', 'tests', 'data', 'gige')
GEV_NOTIF_BASE = 0x2000
GEV_FREE_END = 0xB000  # the fake camera keeps its stream channel registers from here on


def slot(ec, io, ch, es):
    return ((ec * 4 + io) * 4 + ch) * 256 + es


class Entry:
    def __init__(self, name, display, cn=None, vis='Beginner', value=0, avail=None, tooltip='', impl=None):
        self.name, self.display, self.cn, self.vis, self.value, self.avail = name, display, cn, vis, value, avail
        self.tooltip, self.impl = tooltip, impl


def int_reg(name, addr, length=4, access='RW', endian='LittleEndian', cachable='NoCache'):
    return (f'    <IntReg Name="{name}">\n'
            f'      <Visibility>Invisible</Visibility>\n'
            f'      <Address>0x{addr:X}</Address>\n      <Length>{length}</Length>\n'
            f'      <AccessMode>{access}</AccessMode>\n      <pPort>Device</pPort>\n'
            f'      <Cachable>{cachable}</Cachable>\n      <Sign>Unsigned</Sign>\n'
            f'      <Endianess>{endian}</Endianess>\n    </IntReg>\n')


def enumeration(name, display, entries, pvalue, selected, vis='Beginner', tooltip='', entry_ns='Custom'):
    out = [f'    <Enumeration Name="{name}" NameSpace="Standard">\n']
    if tooltip:
        out.append(f'      <ToolTip>{escape(tooltip)}</ToolTip>\n')
    out.append(f'      <DisplayName>{escape(display)}</DisplayName>\n      <Visibility>{vis}</Visibility>\n')
    for e in entries:
        out.append(f'      <EnumEntry Name="{e.name}" NameSpace="{entry_ns}">\n')
        if e.tooltip:
            out.append(f'        <ToolTip>{escape(e.tooltip)}</ToolTip>\n')
        out.append(f'        <DisplayName>{escape(e.display)}</DisplayName>\n'
                   f'        <Visibility>{e.vis}</Visibility>\n')
        if e.impl:
            out.append(f'        <pIsImplemented>{e.impl}</pIsImplemented>\n')
        if e.avail:
            out.append(f'        <pIsAvailable>{e.avail}</pIsAvailable>\n')
        out.append(f'        <Value>{e.value}</Value>\n      </EnumEntry>\n')
    out.append(f'      <pValue>{pvalue}</pValue>\n')
    for s in selected:
        out.append(f'      <pSelected>{s}</pSelected>\n')
    out.append('    </Enumeration>\n')
    return ''.join(out)


def knife(name, variables, formula):
    out = [f'    <IntSwissKnife Name="{name}">\n      <Visibility>Invisible</Visibility>\n']
    for var, node in variables:
        out.append(f'      <pVariable Name="{var}">{node}</pVariable>\n')
    out.append(f'      <Formula>{escape(formula)}</Formula>\n    </IntSwissKnife>\n')
    return ''.join(out)


def write(path, text):
    with open(os.path.join(HERE, path), 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def build_device(key, ident, categories, io_lines, channels, events, tick_feature, rates, defaults_on,
                 translation=True, faults='', gev=False):
    """categories: [Entry]; io_lines: [Entry] or []; channels: [Entry];
    events: [(Entry, [(ec, io, ch), ...])]; io categories are those whose name holds IOEvent.
    gev also writes the GigE Vision variant into GEV_DIR."""
    io_cats = [c.value for c in categories if 'ioevent' in c.name.lower()]
    io_term = 'IO' if not io_cats else '(' + '||'.join(f'(EC={v})' for v in io_cats) + ') ? IO : 0'
    nodes = []
    sel_vars = [('EC', 'EventCategoryReg'), ('IO', 'EventIOTypeReg'), ('CH', 'ChannelSelectorReg'),
                ('ES', 'EventSelectorReg')]

    # Availability: IO lines need an IO category, channels and events their combinations.
    def avail_knife(name, combos, use):
        terms = []
        for combo in sorted(set(combos)):
            parts = [f'({v}={x})' for v, x in zip(('EC', 'IO', 'CH'), combo) if v in use and x is not None]
            terms.append('(' + '&&'.join(parts) + ')' if parts else '1')
        formula = '||'.join(terms) if terms else '0'
        return knife(name, [v for v in sel_vars if v[0] in use], formula)

    chan_combos = {}
    for ev, combos in events:
        for ec, io, ch in combos:
            chan_combos.setdefault(ch, []).append((ec, io if ec in io_cats else None, None))
    for c in channels:
        c.avail = f'{c.name}_Available'
        nodes.append(avail_knife(c.avail, chan_combos.get(c.value, []), ('EC', 'IO')))
    if io_lines:
        for l in io_lines:
            l.avail = f'{l.name}_Available'
            nodes.append(avail_knife(l.avail, [(v, None, None) for v in io_cats], ('EC',)))
    for ev, combos in events:
        ev.avail = f'{ev.name}_Available'
        nodes.append(avail_knife(ev.avail, [(ec, io if ec in io_cats else None, ch) for ec, io, ch in combos],
                                 ('EC', 'IO', 'CH')))

    group = [enumeration('EventCategory', 'Event Category', categories, 'EventCategoryReg',
                         (['EventIOType'] if io_lines else []) + ['ChannelSelector', 'EventSelector',
                                                                  'EventNotification'],
                         tooltip='Selects the group of events to configure.')]
    if io_lines:
        group.append(enumeration('EventIOType', 'Event IO Type', io_lines, 'EventIOTypeReg',
                                 ['ChannelSelector', 'EventSelector', 'EventNotification']))
    group.append(enumeration('ChannelSelector', 'Channel Selector', channels, 'ChannelSelectorReg',
                             ['EventSelector', 'EventNotification']))
    group.append(enumeration('EventSelector', 'Event Selector', [e for e, _ in events], 'EventSelectorReg',
                             ['EventNotification']))
    group.append(enumeration('EventNotification', 'Event Notification',
                             [Entry('Off', 'Off', value=0), Entry('On', 'On', value=1)], 'EventNotificationReg', []))

    # GenICam event naming: one port per event id, with the event's time stamp feature on it.
    ports = []
    for ev, _ in events:
        eid = 0x9000 + ev.value
        ports.append(f'    <Port Name="Event{ev.name}Port">\n      <Visibility>Invisible</Visibility>\n'
                     f'      <EventID>{eid:X}</EventID>\n    </Port>\n'
                     f'    <IntReg Name="Event{ev.name}Timestamp">\n      <Visibility>Expert</Visibility>\n'
                     f'      <Address>0x8</Address>\n      <Length>8</Length>\n      <AccessMode>RO</AccessMode>\n'
                     f'      <pPort>Event{ev.name}Port</pPort>\n      <Cachable>NoCache</Cachable>\n'
                     f'      <Sign>Unsigned</Sign>\n      <Endianess>BigEndian</Endianess>\n    </IntReg>\n')
    features = ['EventCategory'] + (['EventIOType'] if io_lines else []) + \
        ['ChannelSelector', 'EventSelector', 'EventNotification']

    # The GigE variant only moves registers: the fake camera cannot preset the tick frequency register, and
    # its free memory ends at GEV_FREE_END, so the event stride shrinks to what this device needs.
    def description(gev):
        endian, base, stride = ('BigEndian', GEV_NOTIF_BASE, 1 << (len(events) - 1).bit_length()) if gev \
            else ('LittleEndian', NOTIF_BASE, 256)
        if gev:
            ios = [l.value for l in io_lines] or [0]
            chan = max(c.value for c in channels)
            top = max(((ec.value * 4 + (max(ios) if ec.value in io_cats else 0)) * 4 + chan) * stride
                      for ec in categories) + max(e.value for e, _ in events)
            assert base + 4 * (top + 1) <= GEV_FREE_END, key
        regs = [knife('EventNotificationIndex', sel_vars, f'((EC*4+({io_term}))*4+CH)*{stride}+ES')]
        # As cameras do: a selector changes only when written, so it is read once (WriteThrough); the
        # notification it selects may change on the device's side and is read every time (NoCache).
        for f, addr in REGS.items():
            regs.append(int_reg(f + 'Reg', addr, endian=endian, cachable='WriteThrough'))
        regs.append(f'    <IntReg Name="EventNotificationReg">\n      <Visibility>Invisible</Visibility>\n'
                    f'      <Address>0x{base:X}</Address>\n'
                    f'      <pIndex Offset="4">EventNotificationIndex</pIndex>\n      <Length>4</Length>\n'
                    f'      <AccessMode>RW</AccessMode>\n      <pPort>Device</pPort>\n'
                    f'      <Cachable>NoCache</Cachable>\n      <Sign>Unsigned</Sign>\n'
                    f'      <Endianess>{endian}</Endianess>\n    </IntReg>\n')
        note = ''
        if gev:
            tick = (f'    <Integer Name="{tick_feature}">\n      <DisplayName>Timestamp Tick Frequency</DisplayName>\n'
                    f'      <Visibility>Expert</Visibility>\n      <ImposedAccessMode>RO</ImposedAccessMode>\n'
                    f'      <Value>{ident["tick"]}</Value>\n    </Integer>\n')
            io_note = 'IO counts only in IO categories' if io_cats else 'IO stays 0'
            note = (f'<!-- {ident["model"]}: GigE Vision test variant for arv-fake-gv-camera-0.8,\n'
                    f'     written by platform/dovisim/devices/generate.py.\n     Big-endian registers: '
                    + ', '.join(f'0x{a:X} {f}' for f, a in REGS.items())
                    + f';\n     EventNotification at 0x{base:X} + 4 * slot, slot = ((EC*4+IO)*4+CH)*{stride}+ES, '
                    f'{io_note};\n     {tick_feature} is the constant {ident["tick"]}. -->\n')
        else:
            tick = (f'    <IntReg Name="{tick_feature}">\n      <DisplayName>Timestamp Tick Frequency</DisplayName>\n'
                    f'      <Visibility>Expert</Visibility>\n      <Address>0x{TICK_ADDR:X}</Address>\n'
                    f'      <Length>8</Length>\n      <AccessMode>RO</AccessMode>\n      <pPort>Device</pPort>\n'
                    f'      <Sign>Unsigned</Sign>\n      <Endianess>LittleEndian</Endianess>\n    </IntReg>\n')
        vguid = ident['gev_vguid'] if gev else ident['vguid']
        xml = ['<?xml version="1.0" encoding="utf-8"?>\n', note,
               f'<RegisterDescription ModelName="{ident["model_name"]}" VendorName="DoVI" '
               f'ToolTip="{escape(ident["model"])}" StandardNameSpace="None" SchemaMajorVersion="1" '
               f'SchemaMinorVersion="1" SchemaSubMinorVersion="0" MajorVersion="1" MinorVersion="0" '
               f'SubMinorVersion="0" ProductGuid="{ident["guid"]}" VersionGuid="{vguid}" {NS}>\n',
               '  <Category Name="Root" NameSpace="Standard">\n',
               '    <pFeature>DeviceControl</pFeature>\n    <pFeature>EventControl</pFeature>\n  </Category>\n',
               '  <Group Comment="DeviceControl">\n',
               '    <Category Name="DeviceControl" NameSpace="Standard">\n',
               f'      <pFeature>{tick_feature}</pFeature>\n    </Category>\n', tick, '  </Group>\n',
               '  <Group Comment="EventControl">\n',
               '    <Category Name="EventControl" NameSpace="Standard">\n',
               ''.join(f'      <pFeature>{f}</pFeature>\n' for f in features), '    </Category>\n',
               ''.join(group), '  </Group>\n',
               '  <Group Comment="EventRegisters">\n', ''.join(nodes + regs), '  </Group>\n',
               '  <Group Comment="EventData">\n', ''.join(ports), '  </Group>\n',
               '  <Port Name="Device" NameSpace="Standard"/>\n',
               '</RegisterDescription>\n']
        return ''.join(xml)

    write(f'{key}.xml', description(False))
    if gev:
        os.makedirs(GEV_DIR, exist_ok=True)
        write(os.path.join(GEV_DIR, f'{key}_gev.xml'), description(True))

    if translation:
        tr = ['<?xml version="1.0" encoding="utf-8"?>\n<FeatureTranslation Language="zh_CN">\n']
        feats = [('EventCategory', '事件类别', categories), ('EventIOType', '事件IO类型', io_lines),
                 ('ChannelSelector', '通道选择', channels), ('EventSelector', '事件选择', [e for e, _ in events])]
        for fname, fcn, entries in feats:
            if fname == 'EventIOType' and not io_lines:
                continue
            tr.append(f'  <Feature Name="{fname}">\n    <DisplayName::cn>{fcn}</DisplayName::cn>\n')
            for e in entries:
                if e.cn:
                    tr.append(f'    <EnumEntry Name="{e.name}">\n'
                              f'      <DisplayName::cn>{escape(e.cn)}</DisplayName::cn>\n    </EnumEntry>\n')
            tr.append('  </Feature>\n')
        tr.append('</FeatureTranslation>\n')
        write(f'{key}_zh.xml', ''.join(tr))

    ini = [f'; {ident["model"]}: written by generate.py\n[Device]\n',
           f'Id={ident["id"]}\nVendor=DoVI\nModel={ident["model"]}\nSerial={ident["serial"]}\n']
    if ident.get('user'):
        ini.append(f'UserName={ident["user"]}\n')
    ini.append(f'Version=1.0.0\nInterface={ident["interface"]}\nDescription={key}.xml\n')
    if translation:
        ini.append(f'Translation={key}_zh.xml\n')
    ini.append(f'DescriptionUrl={ident["url"]}\nTickFrequency={ident["tick"]}\n\n[Registers]\n')
    for f, addr in REGS.items():
        ini.append(f'{f}=0x{addr:X}\n')
    ini.append(f'EventNotification=0x{NOTIF_BASE:X}:0x{NOTIF_SIZE:X}\nTickFrequency=0x{TICK_ADDR:X}:8\n\n')
    ini.append('[Memory]\n')
    for name in defaults_on:
        for ev, combos in events:
            if ev.name == name:
                for ec, io, ch in combos:
                    ini.append(f'0x{NOTIF_BASE + 4 * slot(ec, io if ec in io_cats else 0, ch, ev.value):X}=1\n')
    ini.append('\n[Events]\n')
    n = 0
    for ev, combos in events:
        for ec, io, ch in combos:
            n += 1
            rate = rates.get(ev.name, 1)
            ini.append(f'E{n}={slot(ec, io if ec in io_cats else 0, ch, ev.value)}, 0x{0x9000 + ev.value:X}, {rate}\n')
    ini.append('\n[Faults]\n' + faults)
    write(f'{key}.ini', ''.join(ini))


def camera_a():
    cats = [Entry('ExposureEvent', 'Exposure Event', '曝光事件', value=0),
            Entry('FrameEvent', 'Frame Event', '帧事件', value=1),
            Entry('TriggerEvent', 'Trigger Event', '触发事件', 'Expert', value=2),
            Entry('DiagnosticEvent', 'Diagnostic Event', '诊断事件', 'Guru', value=3)]
    chans = [Entry(f'Channel{c}', f'Channel {c}', f'通道{c}', 'Guru' if c == 3 else 'Beginner', value=c)
             for c in range(4)]
    events, v = [], 0
    plan = [(0, range(4), [('ExposureStart', 'Exposure Start', '曝光开始', 'Beginner'),
                           ('ExposureEnd', 'Exposure End', '曝光结束', 'Beginner')]),
            (1, range(2), [('FrameStart', 'Frame Start', '帧开始', 'Beginner'),
                           ('FrameEnd', 'Frame End', '帧结束', 'Beginner'),
                           ('FrameBurstStart', 'Frame Burst Start', None, 'Guru')]),
            (2, range(4), [('TriggerReady', 'Trigger Ready', '触发就绪', 'Beginner'),
                           ('TriggerOverrun', 'Trigger Overrun', '触发溢出', 'Expert'),
                           ('TriggerSkipped', 'Trigger Skipped', '触发跳过', 'Guru')])]
    for ec, chs, evs in plan:
        for ch in chs:
            for name, disp, cn, vis in evs:
                events.append((Entry(f'{name}_{ch}', f'{disp}_{ch}', f'{cn}_{ch}' if cn else None, vis, v),
                               [(ec, 0, ch)]))
                v += 1
    events.append((Entry('TemperatureHigh10', 'Temperature High 10', '温度过高10', 'Guru', v), [(3, 0, 0)]))
    v += 1
    events.append((Entry('FanFailure_0', 'Fan Failure_0', '风扇故障_0', 'Guru', v), [(3, 0, 0)]))
    build_device('camera_a', dict(id='DoVI-SIM-A-2040', model='DV-EC2040 Event Camera', model_name='DV_EC2040',
                                  serial='SA2040001', user='Station 3 Top', interface='DoVISim0', url='zip',
                                  tick=1000000000, guid='4A3C6B2E-1D55-4F7A-9E10-6C2B8F0D2040',
                                  vguid='4A3C6B2E-1D55-4F7A-9E10-6C2B8F0D2041',
                                  gev_vguid='4A3C6B2E-1D55-4F7A-9E10-6C2B8F0D2042'),
                 cats, [], chans, events, 'GevTimestampTickFrequency',
                 {'ExposureStart_0': 5, 'ExposureEnd_0': 5, 'FrameStart_0': 2}, ['ExposureStart_0', 'FrameEnd_1'],
                 gev=True)


def camera_b():
    cats = [Entry('IOEvent', 'IO Event', 'IO事件', value=0),
            Entry('SystemEvent', 'System Event', '系统事件', value=1),
            Entry('MaintenanceEvent', 'Maintenance Event', '维护事件', 'Guru', value=2)]
    lines = [Entry('Line0', 'Line 0', '线路0', value=0), Entry('Line1', 'Line 1', '线路1', value=1),
             Entry('D485', 'D485', 'D485接口', value=2), Entry('Line3', 'Line 3', '线路3', 'Guru', value=3)]
    chans = [Entry(f'Channel{c}', f'Channel {c}', f'通道{c}', 'Guru' if c == 2 else 'Beginner', value=c)
             for c in range(3)]
    events, v = [], 0
    for io, line in enumerate(lines):
        for ch in range(3):
            if line.name == 'D485':
                conds = ['Start', 'Done', 'Timeout', 'Overrun', 'Parity Error', 'Framing Error', 'Break',
                         'Idle', 'CRC Error', 'Collision', 'Buffer Full', 'Buffer Empty', 'Address Match',
                         'Address Mismatch', 'Noise', 'Wake Up', 'Sync Lost', 'Sync Found', 'Retry',
                         'Abort', 'Watchdog']
                cn = ['开始', '完成', '超时', '溢出', '校验错误', '帧错误', '中断', '空闲', 'CRC错误', '冲突',
                      '缓冲满', '缓冲空', '地址匹配', '地址不匹配', '噪声', '唤醒', '同步丢失', '同步找到',
                      '重试', '中止', '看门狗']
                for d, dcn in (('Rx', '接收'), ('Tx', '发送')):
                    for i, (c, ccn) in enumerate(zip(conds, cn)):
                        name = f'D485{d}{c.replace(" ", "")}_{ch}'
                        vis = 'Guru' if i % 7 == 6 else ('Expert' if i % 5 == 4 else 'Beginner')
                        events.append((Entry(name, f'485 {d} {c}_{ch}', f'485{dcn}{ccn}_{ch}' if i % 9 else None,
                                             vis, v), [(0, io, ch)]))
                        v += 1
            else:
                for name, disp, cn, vis in (('RisingEdge', 'Rising Edge', '上升沿', 'Beginner'),
                                            ('FallingEdge', 'Falling Edge', '下降沿', 'Beginner'),
                                            ('GlitchFiltered', 'Glitch Filtered', '毛刺滤除', 'Guru')):
                    events.append((Entry(f'{line.name}{name}_{ch}', f'{line.display} {disp}_{ch}',
                                         f'{line.cn}{cn}_{ch}', vis, v), [(0, io, ch)]))
                    v += 1
    for ch in range(2):
        for name, disp, cn, vis in (('TemperatureWarning', 'Temperature Warning', '温度警告', 'Beginner'),
                                    ('PowerLow', 'Power Low', '电源电压低', 'Beginner'),
                                    ('LinkDown', 'Link Down', '链路断开', 'Guru')):
            events.append((Entry(f'{name}_{ch}', f'{disp}_{ch}', f'{cn}_{ch}', vis, v), [(1, 0, ch)]))
            v += 1
    events.append((Entry('FilterReplace_0', 'Filter Replace_0', '更换滤网_0', 'Guru', v), [(2, 0, 0)]))
    assert v < 256
    build_device('camera_b', dict(id='DoVI-SIM-B-8000', model='DV-IO8000 IO Controller', model_name='DV_IO8000',
                                  serial='SB8000017', user='', interface='DoVISim0', url='local',
                                  tick=125000000, guid='7F0E3A91-5B2C-4E88-A1D4-0C9E3B6A8000',
                                  vguid='7F0E3A91-5B2C-4E88-A1D4-0C9E3B6A8001',
                                  gev_vguid='7F0E3A91-5B2C-4E88-A1D4-0C9E3B6A8002'),
                 cats, lines, chans, events, 'DeviceTimestampTickFrequency',
                 {'Line0RisingEdge_0': 10, 'D485RxStart_0': 3}, ['Line0RisingEdge_0'], gev=True)


def sensor_c():
    xml = ('<?xml version="1.0" encoding="utf-8"?>\n'
           '<RegisterDescription ModelName="DV_S100" VendorName="DoVI" ToolTip="DV-S100 Light Sensor" '
           'StandardNameSpace="None" SchemaMajorVersion="1" SchemaMinorVersion="1" SchemaSubMinorVersion="0" '
           'MajorVersion="1" MinorVersion="0" SubMinorVersion="0" '
           'ProductGuid="0B1C2D3E-4F50-6172-8394-A5B6C7D8E900" VersionGuid="0B1C2D3E-4F50-6172-8394-A5B6C7D8E901" '
           f'{NS}>\n'
           '  <Category Name="Root" NameSpace="Standard">\n    <pFeature>DeviceControl</pFeature>\n  </Category>\n'
           '  <Group Comment="DeviceControl">\n'
           '    <Category Name="DeviceControl" NameSpace="Standard">\n'
           '      <pFeature>DeviceTimestampIncrement</pFeature>\n      <pFeature>LightLevel</pFeature>\n'
           '    </Category>\n'
           + int_reg('DeviceTimestampIncrement', TICK_ADDR, 8, 'RO').replace('Invisible', 'Expert')
           + int_reg('LightLevel', 0x1020, 4, 'RO').replace('Invisible', 'Beginner')
           + '  </Group>\n  <Port Name="Device" NameSpace="Standard"/>\n</RegisterDescription>\n')
    write('sensor_c.xml', xml)
    write('sensor_c.ini', '; DV-S100 Light Sensor: a device without event control\n[Device]\n'
          'Id=DoVI-SIM-C-0100\nVendor=DoVI\nModel=DV-S100 Light Sensor\nSerial=SC0100042\nUserName=Dock Light\n'
          'Version=1.0.0\nInterface=DoVISim1\nDescription=sensor_c.xml\nDescriptionUrl=file\n'
          'TickFrequency=1000000\n\n[Registers]\nTickFrequency=0x1010:8\n\n[Memory]\n0x1020=734\n')


def large_camera(folder):
    """A large device for benchmarks: 6 categories (the first with 4 IO lines), 8 channels, 32 events per
    channel, every entry selectable everywhere. Slot = ((EC * 4 + IO) * 8 + CH) * 32 + ES. Every register
    is NoCache, as some cameras describe them: the engine may keep nothing between feature operations."""
    cats = [Entry('IOEvent', 'IO Event', 'IO事件', value=0)] + \
        [Entry(f'Group{k}Event', f'Group {k} Event', f'组{k}事件', value=k) for k in range(1, 6)]
    lines = [Entry(f'Line{k}', f'Line {k}', f'线路{k}', value=k) for k in range(4)]
    chans = [Entry(f'Channel{c}', f'Channel {c}', f'通道{c}', value=c) for c in range(8)]
    evs = [Entry(f'Signal{k}', f'Signal {k}', f'信号{k}', 'Guru' if k % 8 == 7 else 'Beginner', k) for k in range(32)]
    sel = [('EC', 'EventCategoryReg'), ('IO', 'EventIOTypeReg'), ('CH', 'ChannelSelectorReg'),
           ('ES', 'EventSelectorReg')]
    nodes = [knife('EventNotificationIndex', sel, '((EC*4+((EC=0) ? IO : 0))*8+CH)*32+ES')]
    for f, addr in REGS.items():
        nodes.append(int_reg(f + 'Reg', addr))
    nodes.append(f'    <IntReg Name="EventNotificationReg">\n      <Visibility>Invisible</Visibility>\n'
                 f'      <Address>0x{NOTIF_BASE:X}</Address>\n'
                 f'      <pIndex Offset="4">EventNotificationIndex</pIndex>\n      <Length>4</Length>\n'
                 f'      <AccessMode>RW</AccessMode>\n      <pPort>Device</pPort>\n'
                 f'      <Cachable>NoCache</Cachable>\n      <Sign>Unsigned</Sign>\n'
                 f'      <Endianess>LittleEndian</Endianess>\n    </IntReg>\n')
    group = [enumeration('EventCategory', 'Event Category', cats, 'EventCategoryReg',
                         ['EventIOType', 'ChannelSelector', 'EventSelector', 'EventNotification']),
             enumeration('EventIOType', 'Event IO Type', lines, 'EventIOTypeReg',
                         ['ChannelSelector', 'EventSelector', 'EventNotification']),
             enumeration('ChannelSelector', 'Channel Selector', chans, 'ChannelSelectorReg',
                         ['EventSelector', 'EventNotification']),
             enumeration('EventSelector', 'Event Selector', evs, 'EventSelectorReg', ['EventNotification']),
             enumeration('EventNotification', 'Event Notification',
                         [Entry('Off', 'Off', value=0), Entry('On', 'On', value=1)], 'EventNotificationReg', [])]
    xml = ('<?xml version="1.0" encoding="utf-8"?>\n'
           '<RegisterDescription ModelName="DV_X9000" VendorName="DoVI" ToolTip="DV-X9000" StandardNameSpace="None" '
           'SchemaMajorVersion="1" SchemaMinorVersion="1" SchemaSubMinorVersion="0" MajorVersion="1" '
           'MinorVersion="0" SubMinorVersion="0" ProductGuid="1D2C3B4A-5E6F-4789-9A0B-C1D2E3F49000" '
           f'VersionGuid="1D2C3B4A-5E6F-4789-9A0B-C1D2E3F49001" {NS}>\n'
           '  <Group Comment="EventControl">\n' + ''.join(group) + '  </Group>\n'
           '  <Group Comment="EventRegisters">\n' + ''.join(nodes) + '  </Group>\n'
           '  <Port Name="Device" NameSpace="Standard"/>\n</RegisterDescription>\n')
    tr = ['<?xml version="1.0" encoding="utf-8"?>\n<FeatureTranslation Language="zh_CN">\n']
    for fname, entries in (('EventCategory', cats), ('EventIOType', lines), ('ChannelSelector', chans),
                           ('EventSelector', evs)):
        tr.append(f'  <Feature Name="{fname}">\n')
        for e in entries:
            tr.append(f'    <EnumEntry Name="{e.name}"><DisplayName::cn>{e.cn}</DisplayName::cn></EnumEntry>\n')
        tr.append('  </Feature>\n')
    tr.append('</FeatureTranslation>\n')
    ini = ('; DV-X9000: a large device for benchmarks, written by generate.py\n[Device]\nId=DoVI-SIM-X-9000\n'
           'Vendor=DoVI\nModel=DV-X9000\nSerial=SX9000001\nVersion=1.0.0\nDescription=large_camera.xml\n'
           'Translation=large_camera_zh.xml\nDescriptionUrl=local\nTickFrequency=1000000000\n\n[Registers]\n'
           + ''.join(f'{f}=0x{a:X}\n' for f, a in REGS.items())
           + f'EventNotification=0x{NOTIF_BASE:X}:0x{NOTIF_SIZE:X}\n\n[Memory]\n'
           + ''.join(f'0x{NOTIF_BASE + 4 * slot:X}=1\n' for slot in range(0, 6144, 7)))
    for name, text in (('large_camera.xml', xml), ('large_camera_zh.xml', ''.join(tr)), ('large_camera.ini', ini)):
        with open(os.path.join(folder, name), 'w', encoding='utf-8', newline='\n') as f:
            f.write(text)


def camera_a2():
    """A second DV-EC2040 on the same line: the same description, another identity."""
    with open(os.path.join(HERE, 'camera_a.ini'), encoding='utf-8') as f:
        text = f.read()
    for old, new in (('Id=DoVI-SIM-A-2040', 'Id=DoVI-SIM-A-2041'), ('Serial=SA2040001', 'Serial=SA2040002'),
                     ('UserName=Station 3 Top', 'UserName=Station 4 Top'), ('\n0x10000=1\n', '\n')):
        text = text.replace(old, new)
    write('camera_a2.ini', text.replace('written by generate.py', 'a second camera, written by generate.py'))


# Events described the standard way: one EventSelector, one EventNotification it selects, an
# Event<X>Data category per event. (name, display name, visibility, tooltip); the event id is 0x9000 + position.
STANDARD_EVENTS = [
    ('AcquisitionStart', 'Acquisition Start', 'Beginner', 'Sent when the device starts an acquisition.'),
    ('AcquisitionEnd', 'Acquisition End', 'Beginner', 'Sent when the device ends an acquisition.'),
    ('FrameTrigger', 'Frame Trigger', 'Beginner', 'Sent when the device receives a frame trigger.'),
    ('FrameStart', 'Frame Start', 'Beginner', 'Sent when the device starts capturing a frame.'),
    ('FrameEnd', 'Frame End', 'Beginner', 'Sent when the device ends capturing a frame.'),
    ('FrameBurstStart', 'Frame Burst Start', 'Expert', 'Sent when the device starts capturing a burst of frames.'),
    ('FrameBurstEnd', 'Frame Burst End', 'Guru', 'Sent when the device ends capturing a burst of frames.'),
    ('ExposureStart', 'Exposure Start', 'Beginner', 'Sent when the sensor starts an exposure.'),
    ('ExposureEnd', 'Exposure End', 'Beginner', 'Sent when the sensor ends an exposure.'),
    ('Line0RisingEdge', 'Line 0 Rising Edge', 'Beginner', 'Sent on a rising edge of the signal on line 0.'),
    ('Line0FallingEdge', 'Line 0 Falling Edge', 'Beginner', 'Sent on a falling edge of the signal on line 0.'),
    ('Line1RisingEdge', 'Line 1 Rising Edge', 'Beginner', 'Sent on a rising edge of the signal on line 1.'),
    ('Line1FallingEdge', 'Line 1 Falling Edge', 'Beginner', 'Sent on a falling edge of the signal on line 1.'),
    ('Timer0Start', 'Timer 0 Start', 'Expert', 'Sent when timer 0 starts counting.'),
    ('Timer0End', 'Timer 0 End', 'Expert', 'Sent when timer 0 reaches its end.'),
    ('Counter0Start', 'Counter 0 Start', 'Expert', 'Sent when counter 0 starts counting.'),
    ('Counter0End', 'Counter 0 End', 'Expert', 'Sent when counter 0 reaches its end.'),
    ('FrameTriggerMissed', 'Frame Trigger Missed', 'Expert',
     'Sent when a frame trigger arrives while the device cannot accept one.'),
    ('Overrun', 'Overrun', 'Guru', 'Sent when the device drops data because its buffers are full.'),
    ('Error', 'Error', 'Beginner', 'Sent when the device detects an error.'),
    ('Test', 'Test', 'Guru', 'Sent when the host asks for a test event.'),
    ('Line2RisingEdge', 'Line 2 Rising Edge', 'Beginner', 'Sent on a rising edge of the signal on line 2.'),
]
STANDARD_ID_BASE = 0x9000
STANDARD_FRAME_EVENTS = {'AcquisitionStart', 'AcquisitionEnd', 'FrameTrigger', 'FrameStart', 'FrameEnd',
                         'FrameBurstStart', 'FrameBurstEnd', 'ExposureStart', 'ExposureEnd', 'FrameTriggerMissed'}


def node_head(kind, name, display, tooltip, attributes=''):
    """A node's opening lines: its element, tool tip and display name."""
    out = [f'  <{kind} Name="{name}"{attributes}>\n']
    if tooltip:
        out.append(f'    <ToolTip>{escape(tooltip)}</ToolTip>\n')
    if display:
        out.append(f'    <DisplayName>{escape(display)}</DisplayName>\n')
    return out


def category(name, display, features, tooltip='', ns='Standard'):
    out = node_head('Category', name, display, tooltip, f' NameSpace="{ns}"')
    out.extend(f'    <pFeature>{f}</pFeature>\n' for f in features)
    out.append('  </Category>\n')
    return ''.join(out)


def constant(name, value, vis='Invisible', display='', tooltip=''):
    out = node_head('Integer', name, display, tooltip)
    out.append(f'    <Visibility>{vis}</Visibility>\n    <ImposedAccessMode>RO</ImposedAccessMode>\n'
               f'    <Value>{value}</Value>\n  </Integer>\n')
    return ''.join(out)


def event_port(name, eid):
    return (f'  <Port Name="{name}">\n    <Visibility>Invisible</Visibility>\n'
            f'    <EventID>{eid:X}</EventID>\n  </Port>\n')


def event_reg(name, port, addr, length, endian='BigEndian', sign='Unsigned', display='', tooltip=''):
    """A field of an event's record: read from the event's port, never from the device."""
    out = node_head('IntReg', name, display, tooltip)
    out.append(f'    <Visibility>Expert</Visibility>\n    <Address>0x{addr:X}</Address>\n'
               f'    <Length>{length}</Length>\n    <AccessMode>RO</AccessMode>\n    <pPort>{port}</pPort>\n'
               f'    <Cachable>NoCache</Cachable>\n    <Sign>{sign}</Sign>\n    <Endianess>{endian}</Endianess>\n'
               f'  </IntReg>\n')
    return ''.join(out)


def unindent(text):
    """The helpers above write nodes for a Group; a description without Groups keeps them one level up."""
    return ''.join(line[2:] if line.startswith('  ') else line for line in text.splitlines(True))


def standard_d():
    """DV-AC3000: events the standard way, no Groups, categories nested Root > EventControl > Event<X>Data.
    Registers, little-endian: 0x100C EventSelector (holds the entry value, the event id),
    0x1010 tick frequency (8 bytes, read-only), 0x10000 + 4 * slot EventNotification, slot = selector - 0x9000.
    Timer and counter events have no port: their ids are named only by the Event<X> integers (hex text).
    Also writes a GigE Vision variant, described the way another maker would, into GEV_DIR."""
    key, model = 'standard_d', 'DV-AC3000 Area Camera'
    unavailable = {'Line1RisingEdge': 'Line1RisingEdgeAvailable'}  # line 1 is configured as an output
    unimplemented = {'Line2RisingEdge': 'Line2RisingEdgeImplemented'}
    no_port = {'Timer0Start', 'Timer0End', 'Counter0Start', 'Counter0End'}
    entries, data = [], []  # data: (event, features, nodes)
    for k, (name, display, vis, tip) in enumerate(STANDARD_EVENTS):
        eid = STANDARD_ID_BASE + k
        entries.append(Entry(name, display, vis=vis, value=eid, avail=unavailable.get(name), tooltip=tip,
                             impl=unimplemented.get(name)))
        if name in unimplemented:
            continue
        port = f'Event{name}Port'
        ident = constant(f'Event{name}', f'0x{eid:X}' if name in no_port else eid, 'Expert',
                         f'Event {display}', f'Returns the unique identifier of the {display} event.')
        if name in no_port:
            data.append((name, [f'Event{name}'], [ident]))
            continue
        feats, nodes = [f'Event{name}', f'Event{name}Timestamp'], [ident, event_port(port, eid)]
        nodes.append(event_reg(f'Event{name}Timestamp', port, 8, 8, display=f'Event {display} Timestamp',
                               tooltip=f'Time stamp of the last {display} event.'))
        if name in STANDARD_FRAME_EVENTS:
            feats.append(f'Event{name}FrameID')
            nodes.append(event_reg(f'Event{name}FrameID', port, 6, 2, display=f'Event {display} Frame ID',
                                   tooltip=f'Frame the last {display} event belongs to.'))
        data.append((name, feats, nodes))
    top = len(STANDARD_EVENTS) - 1
    notif = [Entry('Off', 'Off', value=0, tooltip='The device does not send the event.'),
             Entry('On', 'On', value=2, tooltip='The device sends the event each time it occurs.')]
    selected = ['EventNotification'] + [f for _, feats, _ in data for f in feats]
    regs = [int_reg('EventSelectorReg', 0x100C, cachable='WriteThrough'),
            # A value of no entry lands on a spare slot: never outside the notification table.
            knife('EventNotificationIndex', [('ES', 'EventSelectorReg')],
                  f'((ES>={STANDARD_ID_BASE})&&(ES<={STANDARD_ID_BASE + top})) ? (ES-{STANDARD_ID_BASE}) : 255'),
            f'    <IntReg Name="EventNotificationReg">\n      <Visibility>Invisible</Visibility>\n'
            f'      <Address>0x{NOTIF_BASE:X}</Address>\n'
            f'      <pIndex Offset="4">EventNotificationIndex</pIndex>\n      <Length>4</Length>\n'
            f'      <AccessMode>RW</AccessMode>\n      <pPort>Device</pPort>\n'
            f'      <Cachable>NoCache</Cachable>\n      <Sign>Unsigned</Sign>\n'
            f'      <Endianess>LittleEndian</Endianess>\n    </IntReg>\n']
    xml = ['<?xml version="1.0" encoding="utf-8"?>\n',
           '<RegisterDescription ModelName="DV_AC3000" VendorName="DoVI" ToolTip="DV-AC3000 Area Camera" '
           'StandardNameSpace="None" SchemaMajorVersion="1" SchemaMinorVersion="1" SchemaSubMinorVersion="0" '
           'MajorVersion="1" MinorVersion="0" SubMinorVersion="0" '
           'ProductGuid="6E5D4C3B-2A19-4807-B6F5-E4D3C2B13000" VersionGuid="6E5D4C3B-2A19-4807-B6F5-E4D3C2B13001" '
           f'{NS}>\n',
           category('Root', '', ['DeviceControl', 'EventControl']),
           category('DeviceControl', 'Device Control', ['GevTimestampTickFrequency']),
           '  <IntReg Name="GevTimestampTickFrequency">\n    <DisplayName>Timestamp Tick Frequency</DisplayName>\n'
           f'    <Visibility>Expert</Visibility>\n    <Address>0x{TICK_ADDR:X}</Address>\n    <Length>8</Length>\n'
           '    <AccessMode>RO</AccessMode>\n    <pPort>Device</pPort>\n    <Sign>Unsigned</Sign>\n'
           '    <Endianess>LittleEndian</Endianess>\n  </IntReg>\n',
           category('EventControl', 'Event Control',
                    ['EventSelector', 'EventNotification'] + [f'Event{name}Data' for name, _, _ in data],
                    'Selects the events the device sends to the host.'),
           unindent(enumeration('EventSelector', 'Event Selector', entries, 'EventSelectorReg', selected,
                                tooltip='Selects which event to signal to the host application.',
                                entry_ns='Standard')),
           unindent(enumeration('EventNotification', 'Event Notification', notif, 'EventNotificationReg', [],
                                tooltip='Activates or deactivates the notification to the host of the '
                                        'selected event.', entry_ns='Standard')),
           unindent(''.join(regs)),
           constant('Line1RisingEdgeAvailable', 0), constant('Line2RisingEdgeImplemented', 0)]
    for name, feats, nodes in data:
        display = next(d for n, d, _, _ in STANDARD_EVENTS if n == name)
        xml.append(category(f'Event{name}Data', f'Event {display} Data', feats, f'Data of the {display} event.'))
        xml.extend(nodes)
    xml.append('  <Port Name="Device" NameSpace="Standard"/>\n</RegisterDescription>\n')
    write(f'{key}.xml', ''.join(xml))

    rates = {'FrameStart': 10, 'ExposureEnd': 10, 'Error': 0.2, 'Test': 0.2}
    ini = [f'; {model}: events the standard way, written by generate.py\n[Device]\n',
           'Id=DoVI-SIM-D-3000\nVendor=DoVI\nModel=DV-AC3000 Area Camera\nSerial=SD3000005\n'
           'UserName=Station 5 Side\nVersion=1.0.0\nInterface=DoVISim1\nDescription=standard_d.xml\n'
           'DescriptionUrl=local\nTickFrequency=1000000000\n\n[Registers]\n'
           f'EventSelector=0x100C\nEventNotification=0x{NOTIF_BASE:X}:0x{NOTIF_SIZE:X}\n'
           f'TickFrequency=0x{TICK_ADDR:X}:8\n\n[Memory]\n',
           f'0x100C={STANDARD_ID_BASE}\n']  # the selector starts on the first entry, as a camera powers up
    for k, (name, _, _, _) in enumerate(STANDARD_EVENTS):
        if name in ('FrameStart', 'ExposureEnd'):
            ini.append(f'0x{NOTIF_BASE + 4 * k:X}=2\n')
    ini.append('\n[Events]\n')
    for k, (name, _, _, _) in enumerate(STANDARD_EVENTS):
        if name not in unimplemented:
            ini.append(f'{name}={k}, 0x{STANDARD_ID_BASE + k:X}, {rates.get(name, 1)}\n')
    ini.append('\n[Faults]\n')
    write(f'{key}.ini', ''.join(ini))
    standard_gev(model)


def standard_gev(model):
    """Another maker's standard description for arv-fake-gv-camera-0.8: selector values 0..n rather than the
    ids, Once besides On (On = 3), one flat EventControl category, event data beyond time stamp and frame id,
    big-endian registers in the fake camera's free memory."""
    events = [('AcquisitionStart', 'Acquisition Start', 'Beginner'), ('FrameStart', 'Frame Start', 'Beginner'),
              ('FrameEnd', 'Frame End', 'Beginner'), ('ExposureStart', 'Exposure Start', 'Beginner'),
              ('ExposureEnd', 'Exposure End', 'Beginner'), ('Line0RisingEdge', 'Line 0 Rising Edge', 'Beginner'),
              ('Line0FallingEdge', 'Line 0 Falling Edge', 'Beginner'), ('Timer0End', 'Timer 0 End', 'Expert'),
              ('Error', 'Error', 'Expert'), ('Test', 'Test', 'Guru')]
    selector, base, spare = 0x1100, GEV_NOTIF_BASE, 15
    top = len(events) - 1
    assert top < spare and base + 4 * (spare + 1) <= GEV_FREE_END
    entries, feats, nodes = [], [], []
    for k, (name, display, vis) in enumerate(events):
        eid = STANDARD_ID_BASE + k
        entries.append(Entry(name, display, vis=vis, value=k,
                             avail='Timer0EndAvailable' if name == 'Timer0End' else None))
        port = f'Event{name}Port'
        nodes.append(event_port(port, eid))
        regs = [(f'Event{name}Timestamp', 8, 8, 'BigEndian', 'Unsigned')]
        if name in ('FrameStart', 'FrameEnd', 'ExposureStart', 'ExposureEnd'):
            regs.append((f'Event{name}FrameID', 6, 2, 'BigEndian', 'Unsigned'))
        if name == 'ExposureEnd':
            regs.append(('EventExposureEndExposureTime', 16, 4, 'BigEndian', 'Unsigned'))
        if name == 'Line0RisingEdge':
            regs.append(('EventLine0RisingEdgeLineStatus', 16, 2, 'LittleEndian', 'Signed'))
        for reg, addr, length, endian, sign in regs:
            feats.append(reg)
            nodes.append(event_reg(reg, port, addr, length, endian, sign))
    notif = [Entry('Off', 'Off', value=0), Entry('Once', 'Once', value=1), Entry('On', 'On', value=3)]
    regs = [int_reg('EventSelectorReg', selector, endian='BigEndian', cachable='WriteThrough'),
            # The fake camera has no bounds of its own: a value of no entry lands on the spare index.
            knife('EventNotificationIndex', [('SEL', 'EventSelectorReg')], f'(SEL<={top}) ? SEL : {spare}'),
            f'    <IntReg Name="EventNotificationReg">\n      <Visibility>Invisible</Visibility>\n'
            f'      <Address>0x{base:X}</Address>\n'
            f'      <pIndex Offset="4">EventNotificationIndex</pIndex>\n      <Length>4</Length>\n'
            f'      <AccessMode>RW</AccessMode>\n      <pPort>Device</pPort>\n'
            f'      <Cachable>NoCache</Cachable>\n      <Sign>Unsigned</Sign>\n'
            f'      <Endianess>BigEndian</Endianess>\n    </IntReg>\n']
    xml = ['<?xml version="1.0" encoding="utf-8"?>\n',
           f'<!-- {model}: GigE Vision test variant of a standard event description for arv-fake-gv-camera-0.8,\n'
           '     written by platform/dovisim/devices/generate.py.\n'
           f'     Big-endian registers: 0x{selector:X} EventSelector (entry values 0 to {top}, event ids '
           f'0x{STANDARD_ID_BASE:X} + value);\n'
           f'     EventNotification at 0x{base:X} + 4 * selector value, a value above {top} reaches index {spare};\n'
           '     GevTimestampTickFrequency is the constant 1000000000. -->\n',
           '<RegisterDescription ModelName="DV_AC3000" VendorName="DoVI" ToolTip="DV-AC3000 Area Camera" '
           'StandardNameSpace="GEV" SchemaMajorVersion="1" SchemaMinorVersion="1" SchemaSubMinorVersion="0" '
           'MajorVersion="1" MinorVersion="0" SubMinorVersion="0" '
           'ProductGuid="6E5D4C3B-2A19-4807-B6F5-E4D3C2B13000" VersionGuid="6E5D4C3B-2A19-4807-B6F5-E4D3C2B13002" '
           f'{NS}>\n',
           category('Root', '', ['DeviceControl', 'EventControl']),
           category('DeviceControl', 'Device Control', ['GevTimestampTickFrequency']),
           constant('GevTimestampTickFrequency', 1000000000, 'Expert', 'Timestamp Tick Frequency'),
           category('EventControl', 'Event Control', ['EventSelector', 'EventNotification'] + feats),
           unindent(enumeration('EventSelector', 'Event Selector', entries, 'EventSelectorReg',
                                ['EventNotification'], 'Expert', entry_ns='Standard')),
           unindent(enumeration('EventNotification', 'Event Notification', notif, 'EventNotificationReg', [],
                                'Expert', entry_ns='Standard')),
           unindent(''.join(regs)), constant('Timer0EndAvailable', 0), ''.join(nodes),
           '  <Port Name="Device" NameSpace="Standard"/>\n</RegisterDescription>\n']
    os.makedirs(GEV_DIR, exist_ok=True)
    write(os.path.join(GEV_DIR, 'standard_gev.xml'), ''.join(xml))


if __name__ == '__main__':
    camera_a()
    camera_a2()
    camera_b()
    sensor_c()
    standard_d()
    large_camera(os.path.join(HERE, '..', '..', '..', 'bench', 'data'))
