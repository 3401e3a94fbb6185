<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDlg</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Gantry</source>
        <translation>Gantry</translation>
    </message>
</context>
<context>
    <name>CheckListWidget</name>
    <message>
        <source>No data.</source>
        <translation>暂无数据。</translation>
    </message>
    <message>
        <source>%1 : %2</source>
        <translation>%1 : %2</translation>
    </message>
</context>
<context>
    <name>DeviceProblems</name>
    <message>
        <source>The device is in use by another application or host.</source>
        <translation>设备正被其他应用程序或主机使用。</translation>
    </message>
    <message>
        <source>The device cannot be reached: is it powered and connected?</source>
        <translation>无法连接设备：设备是否已通电并已连接？</translation>
    </message>
    <message>
        <source>The device could not be opened.</source>
        <translation>无法打开设备。</translation>
    </message>
    <message>
        <source>The device stopped answering while it was read: is it still powered and connected?</source>
        <translation>读取设备时设备停止响应：设备是否仍通电并已连接？</translation>
    </message>
    <message>
        <source>The device&apos;s description of its features could not be used.</source>
        <translation>无法使用设备的特性描述文件。</translation>
    </message>
    <message>
        <source>The device refused to give its event features.</source>
        <translation>设备拒绝提供其事件特性。</translation>
    </message>
    <message>
        <source>The device describes no events.</source>
        <translation>设备未描述任何事件。</translation>
    </message>
    <message>
        <source>(error %1)</source>
        <translation>（错误 %1）</translation>
    </message>
    <message>
        <source>the device does not support it</source>
        <translation>设备不支持此操作</translation>
    </message>
    <message>
        <source>the device is in use by another application</source>
        <translation>设备正被其他应用程序使用</translation>
    </message>
    <message>
        <source>the device refused access (write-protected, or controlled by another application or host)</source>
        <translation>设备拒绝访问（写保护，或由其他应用程序或主机控制）</translation>
    </message>
    <message>
        <source>the device is not open</source>
        <translation>设备未打开</translation>
    </message>
    <message>
        <source>the device does not know this feature or entry</source>
        <translation>设备不识别此特性或枚举项</translation>
    </message>
    <message>
        <source>the device refused the value</source>
        <translation>设备拒绝了该值</translation>
    </message>
    <message>
        <source>the connection to the device failed</source>
        <translation>与设备的连接失败</translation>
    </message>
    <message>
        <source>the device did not answer in time</source>
        <translation>设备未及时响应</translation>
    </message>
    <message>
        <source>not available on the device now</source>
        <translation>设备当前不可用</translation>
    </message>
    <message>
        <source>the device has no register at that address</source>
        <translation>设备在该地址没有寄存器</translation>
    </message>
    <message>
        <source>the device is busy</source>
        <translation>设备忙</translation>
    </message>
    <message>
        <source>the device reported an error</source>
        <translation>设备报告了错误</translation>
    </message>
</context>
<context>
    <name>EventRateChart</name>
    <message>
        <source>Seconds ago</source>
        <translation>秒前</translation>
    </message>
    <message>
        <source>Events per second</source>
        <translation>每秒事件数</translation>
    </message>
</context>
<context>
    <name>EventStatistics</name>
    <message>
        <source>Event</source>
        <translation>事件</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>计数</translation>
    </message>
    <message>
        <source>Last Second (/s)</source>
        <translation>最近一秒 (/s)</translation>
    </message>
    <message>
        <source>Mean Rate (/s)</source>
        <translation>平均速率 (/s)</translation>
    </message>
    <message>
        <source>Min Interval (ms)</source>
        <translation>最小间隔 (ms)</translation>
    </message>
    <message>
        <source>Mean Interval (ms)</source>
        <translation>平均间隔 (ms)</translation>
    </message>
    <message>
        <source>Max Interval (ms)</source>
        <translation>最大间隔 (ms)</translation>
    </message>
    <message>
        <source>Last Timestamp (s)</source>
        <translation>最后时间戳 (s)</translation>
    </message>
    <message>
        <source>Suspected Missed</source>
        <translation>疑似丢失</translation>
    </message>
</context>
<context>
    <name>EventStatisticsModel</name>
    <message>
        <source>Intervals longer than 1.5 times the median interval (%1 ms), counted as the periods they span less one</source>
        <translation>超过中位间隔 (%1 ms) 1.5 倍的间隔，按其跨越的周期数减一计数</translation>
    </message>
    <message>
        <source>The time stamp went backwards %1 times; those steps are not intervals</source>
        <translation>时间戳回退了 %1 次；这些跳变不计为间隔</translation>
    </message>
</context>
<context>
    <name>EventStatisticsPanel</name>
    <message>
        <source>Export Statistics</source>
        <translation>导出统计</translation>
    </message>
    <message>
        <source>CSV File</source>
        <translation>CSV 文件</translation>
    </message>
    <message>
        <source>The statistics could not be written to %1: %2</source>
        <translation>统计无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Prompt</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>统计</translation>
    </message>
    <message>
        <source>Export statistics...</source>
        <translation>导出统计...</translation>
    </message>
    <message>
        <source>Lost on the way from the camera, as its producer reports: %1 event packets</source>
        <translation>据生产者报告，从相机传输途中丢失：%1 个事件数据包</translation>
    </message>
    <message>
        <source>%1 events of more than %2 kinds are not in the table</source>
        <translation>超过 %2 种之外的 %1 个事件未列入表中</translation>
    </message>
    <message>
        <source>File exported.</source>
        <translation>文件已导出。</translation>
    </message>
    <message>
        <source>The chart cannot be shown: %1</source>
        <translation>无法显示图表：%1</translation>
    </message>
</context>
<context>
    <name>LogWriteNotice</name>
    <message>
        <source>The log file is no longer written: %1</source>
        <translation>日志文件已停止写入：%1</translation>
    </message>
    <message>
        <source>the file was removed</source>
        <translation>文件已被删除</translation>
    </message>
    <message>
        <source>This device cannot send events: its producer refused them (error 0x%1).</source>
        <translation>此设备无法发送事件：其生产者拒绝了事件（错误 0x%1）。</translation>
    </message>
</context>
<context>
    <name>MessageListDialog</name>
    <message>
        <source>Enabled Event List</source>
        <translation>已启用事件列表</translation>
    </message>
    <message>
        <source>Error List</source>
        <translation>错误列表</translation>
    </message>
    <message>
        <source>Applying failed. Error list:</source>
        <translation>应用失败。错误列表：</translation>
    </message>
    <message>
        <source>No enabled events.</source>
        <translation>没有已启用的事件。</translation>
    </message>
</context>
<context>
    <name>NXEventLogWidget</name>
    <message>
        <source>Event Timestamp(sec)</source>
        <translation>事件时间戳(秒)</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>内容</translation>
    </message>
    <message>
        <source>System Time</source>
        <translation>系统时间</translation>
    </message>
    <message>
        <source>Event Monitor</source>
        <translation>事件监视</translation>
    </message>
    <message>
        <source>Messaging Channel Event</source>
        <translation>消息通道事件</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>清空日志</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>自动保存</translation>
    </message>
    <message>
        <source>Save Path</source>
        <translation>保存路径</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Clear the log?</source>
        <translation>确定清空日志吗？</translation>
    </message>
    <message>
        <source>Prompt</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>ReadFailureNotice</name>
    <message>
        <source>%1 event states could not be read from the device and show as off: &quot;Apply&quot; switches them off.</source>
        <translation>有 %1 个事件状态无法从设备读取，显示为关闭：“应用”会将它们关闭。</translation>
    </message>
</context>
<context>
    <name>RefusedWriteMarks</name>
    <message>
        <source>Not applied: %1</source>
        <translation>未应用：%1</translation>
    </message>
</context>
<context>
    <name>SaltireDlg</name>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Connecting the device...</source>
        <translation>正在连接设备...</translation>
    </message>
    <message>
        <source>Applied.</source>
        <translation>已应用。</translation>
    </message>
    <message>
        <source>Applying to the device...</source>
        <translation>正在应用到设备...</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>File exported.</source>
        <translation>文件已导出。</translation>
    </message>
    <message>
        <source>Failed to import.</source>
        <translation>导入失败。</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Succeed.</source>
        <translation>导入成功。</translation>
    </message>
    <message>
        <source>Gantry</source>
        <translation>Gantry</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>User Manual</source>
        <translation>用户手册</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Select Device</source>
        <translation>选择设备</translation>
    </message>
    <message>
        <source>User Level</source>
        <translation>用户级别</translation>
    </message>
    <message>
        <source>Enabled Event List</source>
        <translation>已启用事件列表</translation>
    </message>
    <message>
        <source>Check All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Cancel All</source>
        <translation>全不选</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Event Monitor</source>
        <translation>事件监视</translation>
    </message>
    <message>
        <source>Recommended</source>
        <translation>推荐</translation>
    </message>
    <message>
        <source>Guru</source>
        <translation>专家</translation>
    </message>
</context>
<context>
    <name>StandardEventModel</name>
    <message>
        <source>All Events</source>
        <translation>全部事件</translation>
    </message>
</context>
</TS>
